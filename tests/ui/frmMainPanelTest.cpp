// The weather panel of the main window: what each label shows after a reply, the condition
// picture, the forecast lines' two-line layout, clearing, unreadable replies, the tray tip,
// and the laid-out geometry and fonts at standard and high dpi.
#include "FetchView.h"
#include "PlatformServices.h"
#include "art/ConditionImages.h"
#include "frmMain.h"
#include "layout/MainWindowLayout.h"
#include "support/FakePlatform.h"
#include "support/Fixture.h"
#include "support/WindowLookup.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

using namespace brisora;
using namespace brisora::test;

namespace {

const QString kDegreesF = QStringLiteral(" \u00B0F");
const QString kDegreesC = QStringLiteral(" \u00B0C");

using brisora::test::fixture;

/// `text` with every `from` replaced by `to`; at least one must be there.
std::string replacedAll(std::string text, std::string_view from, std::string_view to)
{
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    for (; at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

/// A plain QLabel of `size` showing `caption` in `model`'s font, alignment and colours.
std::unique_ptr<QLabel> lookalike(const QLabel& model, const QString& caption, QSize size)
{
    auto copy = std::make_unique<QLabel>(caption);
    copy->setTextFormat(Qt::PlainText);
    copy->setAlignment(model.alignment());
    copy->setFont(model.font());
    QPalette colours;
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText})
        colours.setColor(role, model.palette().color(role)); // as inherited from the panel
    copy->setPalette(colours);
    copy->resize(size);
    return copy;
}

class frmMainPanelTest : public testing::Test, protected FakePlatform
{
protected:
    /// A first-run window (no place, tray icon shown) on a screen of `twipsPerPixel`.
    frmMain& open(double twipsPerPixel = 15.0)
    {
        screen.twipsPerPixel = twipsPerPixel;
        form = std::make_unique<frmMain>(module, services);
        form->Form_Load();
        return *form;
    }

    /// One fetch as the fetch cycle runs it: blank panel, place name, then the reply.
    void fetch(const std::string& reply, int useCelsius = 0)
    {
        module.Settings.UseCelsius = useCelsius;
        view().ClearWeather();
        view().setTitleCaption(QStringLiteral("Lakeside"));
        view().ParseWeather(reply);
    }

    FetchView& view() { return *form; }
    QString text(const char* name) const { return label(*form, name)->text(); }
    QRect rect(const char* name) const { return child<QWidget>(*form, name)->geometry(); }
    QPixmap picture() const { return label(*form, "Picture1")->pixmap(); }
    QImage expectedImage(int index) const
    {
        return imageOf(ConditionImages::picture(index, form->devicePixelRatioF()));
    }

    /// The options button's picture fills its box and none of it is cut off by the box.
    void expectOptionsButtonDrawnWholeInItsBox() const
    {
        const QLabel* box = label(*form, "Picture2");
        const QImage image = box->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const double ratio = box->pixmap().devicePixelRatio();
        const int boxWidth = static_cast<int>(box->width() * ratio);
        const int boxHeight = static_cast<int>(box->height() * ratio);
        QRect drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0)
                    drawn |= QRect(x, y, 1, 1);
        EXPECT_LE(drawn.right(), boxWidth - 1) << "the right edge is cut off";
        EXPECT_LE(drawn.bottom(), boxHeight - 1) << "the bottom edge is cut off";
        EXPECT_GE(drawn.width(), boxWidth * 9 / 10);
        EXPECT_GE(drawn.height(), boxHeight * 8 / 10);
    }

    Module1 module;
    std::unique_ptr<frmMain> form;

    const std::string imperial = fixture("feed-imperial.txt");
    const std::string metric = fixture("feed-metric.txt");
    const std::string longForecast = fixture("feed-long-forecast.txt");
};

// The laid-out pixel places at 96 dpi, as the design lists them.
const std::map<std::string, std::pair<std::string, QRect>> kDesignPixels = {
    {"Frame1", {"frmMain", QRect(5, 4, 199, 23)}},
    {"Label6", {"Frame1", QRect(6, 3, 81, 17)}},
    {"Label3", {"Frame1", QRect(178, 3, 18, 17)}},
    {"txtTitle", {"frmMain", QRect(10, 35, 188, 17)}},
    {"txtDateTime", {"frmMain", QRect(10, 53, 188, 17)}},
    {"picPanel", {"frmMain", QRect(3, 76, 201, 212)}},
    {"Picture1", {"picPanel", QRect(139, 5, 57, 55)}},
    {"Label1", {"picPanel", QRect(3, 6, 43, 18)}},
    {"txtTemp", {"picPanel", QRect(71, 6, 61, 18)}},
    {"Label4", {"picPanel", QRect(3, 28, 66, 18)}},
    {"txtWTemp", {"picPanel", QRect(71, 28, 61, 18)}},
    {"Label8", {"picPanel", QRect(3, 51, 58, 18)}},
    {"txtWSpeed", {"picPanel", QRect(71, 51, 90, 18)}},
    {"Label2", {"picPanel", QRect(3, 74, 93, 18)}},
    {"txtCond", {"picPanel", QRect(81, 74, 114, 41)}},
    {"Label9", {"picPanel", QRect(3, 99, 77, 18)}},
    {"txtDay1", {"picPanel", QRect(2, 119, 191, 20)}},
    {"txtDay2", {"picPanel", QRect(3, 141, 191, 40)}},
    {"lblBar", {"picPanel", QRect(2, 201, 194, 8)}},
    {"Picture2", {"frmMain", QRect(121, 296, 76, 26)}},
};

const char* const kValueLabels[] = {"txtDateTime", "txtTemp", "txtWTemp", "txtWSpeed",
                                    "txtCond",     "txtDay1", "txtDay2"};

} // namespace

TEST_F(frmMainPanelTest, ImperialReplyFillsEveryLabel)
{
    open();
    fetch(imperial);
    EXPECT_EQ(text("txtTitle"), "Lakeside, MN");
    EXPECT_EQ(text("txtDateTime"), "at Tue, 08 Dec 2026 3:53 pm CST");
    EXPECT_EQ(text("txtTemp"), "3" + kDegreesF);
    EXPECT_EQ(text("txtWTemp"), "-11" + kDegreesF);
    EXPECT_EQ(text("txtWSpeed"), "15 mph");
    EXPECT_EQ(text("txtCond"), "Light Snow");
    EXPECT_EQ(text("txtDay1"), "Tue, Snow. High:9  Low:-4");
    EXPECT_EQ(text("txtDay2"), "Wed, Partly Cloudy. High:15  Low:2 ");
    // The headings never change.
    EXPECT_EQ(text("Label1"), "Temp :");
    EXPECT_EQ(text("Label4"), "Feels :");
    EXPECT_EQ(text("Label8"), "Wind :");
    EXPECT_EQ(text("Label2"), "Condition :");
    EXPECT_EQ(text("Label9"), "Forecast :");
    EXPECT_EQ(text("Label6"), "Brisora");
    EXPECT_EQ(text("Label3"), "  _");

    // Code 14: image 15, drawn at 52 × 52.
    ASSERT_FALSE(picture().isNull());
    EXPECT_EQ(picture().deviceIndependentSize().toSize(), QSize(52, 52));
    EXPECT_EQ(imageOf(picture()), expectedImage(15));
    EXPECT_NE(expectedImage(15), expectedImage(ConditionImages::kNotAvailable));

    ASSERT_FALSE(tray.calls.isEmpty());
    EXPECT_EQ(tray.calls.last().operation, TrayOperation::Modify);
    EXPECT_EQ(tray.shownTip, "Lakeside, MN : 3" + kDegreesF);
}

TEST_F(frmMainPanelTest, UnitSuffixesFollowUseCelsiusAndNumbersStayAsWritten)
{
    open();
    fetch(metric, 1);
    EXPECT_EQ(text("txtTitle"), QStringLiteral("S\u00E3o Paulo, SP"));
    EXPECT_EQ(text("txtTemp"), "22" + kDegreesC);
    EXPECT_EQ(text("txtWTemp"), "21.5" + kDegreesC);
    EXPECT_EQ(text("txtWSpeed"), "12.87 kmph");
    EXPECT_EQ(text("txtDay1"), "Tue, Thunderstorms. High:28  Low:19");
    EXPECT_EQ(imageOf(picture()), expectedImage(30));
    EXPECT_EQ(tray.shownTip, QStringLiteral("S\u00E3o Paulo, SP : 22") + kDegreesC);

    for (const int other : {0, 2, -1}) {
        fetch(metric, other);
        EXPECT_EQ(text("txtTemp"), "22" + kDegreesF) << other;
        EXPECT_EQ(text("txtWTemp"), "21.5" + kDegreesF) << other;
        EXPECT_EQ(text("txtWSpeed"), "12.87 mph") << other;
    }
}

TEST_F(frmMainPanelTest, EightBitReplyIsReadAsWindows1252)
{
    open();
    fetch(replacedAll(metric, "S\xC3\xA3o", "\x8A\xE3o"), 1);
    EXPECT_EQ(text("txtTitle"), QStringLiteral("\u0160\u00E3o Paulo, SP"));
    EXPECT_EQ(tray.shownTip, QStringLiteral("\u0160\u00E3o Paulo, SP : 22") + kDegreesC);
}

TEST_F(frmMainPanelTest, ConditionCodeSelectsThePicture)
{
    open();
    const std::pair<const char*, int> cases[] = {
        {"\"0\"", 1}, {"\"3\"", 4}, {"\"47\"", 48}, {"\"3200\"", 49}, {"\"\"", 49}, {"\"-1\"", 49},
    };
    for (const auto& [code, image] : cases) {
        fetch(replacedAll(imperial, "\"14\"", code));
        ASSERT_FALSE(picture().isNull()) << code;
        EXPECT_EQ(imageOf(picture()), expectedImage(image)) << code;
    }
    // Codes 3 and 4 (images 4 and 5) share the picture of code 0.
    EXPECT_EQ(expectedImage(4), expectedImage(1));
    EXPECT_NE(expectedImage(48), expectedImage(49));
}

TEST_F(frmMainPanelTest, LongFirstForecastLineSwitchesToTwoLinesForGood)
{
    open();
    const QRect day1 = rect("txtDay1");
    const QRect day2 = rect("txtDay2");

    fetch(imperial); // exactly 25 characters: one line
    EXPECT_EQ(rect("txtDay1"), day1);
    EXPECT_EQ(rect("txtDay2"), day2);

    std::map<std::string, QRect> before;
    for (const ControlLayout& c : mainLayout::controls())
        before[c.name] = rect(c.name);

    fetch(replacedAll(imperial, "text=\"Snow\"", "text=\"Snowy\"")); // 26 characters
    EXPECT_EQ(text("txtDay1"), "Tue, Snowy. High:9  Low:-4");
    EXPECT_EQ(rect("txtDay1"), QRect(2, 119, 191, 40)) << "600 twips high";
    EXPECT_EQ(rect("txtDay2"), QRect(3, 160, 191, 40)) << "615 twips below txtDay1's top";
    for (const ControlLayout& c : mainLayout::controls()) {
        if (std::string_view(c.name) != "txtDay1" && std::string_view(c.name) != "txtDay2") {
            EXPECT_EQ(rect(c.name), before[c.name]) << c.name << " does not move";
        }
    }

    // Neither a later short line nor a clear puts the one-line layout back.
    fetch(imperial);
    EXPECT_EQ(text("txtDay1"), "Tue, Snow. High:9  Low:-4");
    view().ClearWeather();
    fetch(longForecast);
    EXPECT_EQ(rect("txtDay1"), QRect(2, 119, 191, 40));
    EXPECT_EQ(rect("txtDay2"), QRect(3, 160, 191, 40));

    // The long line is shown whole on its two lines.
    QLabel* line = label(*form, "txtDay1");
    const QRect needed = QFontMetrics(line->font())
                             .boundingRect(QRect(0, 0, line->width(), 1000),
                                           Qt::TextWordWrap | Qt::AlignLeft, line->text());
    EXPECT_EQ(line->text(), "Wed, Scattered Thunderstorms. High:88  Low:76");
    EXPECT_LE(needed.height(), line->height());
}

TEST_F(frmMainPanelTest, TwoLineSwitchScalesOnAHighDpiScreen)
{
    open(10.0);
    fetch(longForecast);
    EXPECT_EQ(rect("txtDay1"), QRect(3, 179, 287, 60));
    EXPECT_EQ(rect("txtDay2"), QRect(5, 240, 287, 60)) << "1785 + 615 twips at 10 twips a pixel";
}

TEST_F(frmMainPanelTest, ALineThatDoesNotFitItsBoxIsLeftOutNotCutThrough)
{
    open();
    fetch(imperial); // the build date with its zone is wider than its one-line box
    QLabel* line = label(*form, "txtDateTime");
    const int lineBottom = static_cast<int>(std::ceil(QFontMetricsF(line->font()).height()));
    ASSERT_LT(lineBottom, line->height());
    const QImage image = line->grab().toImage();
    const QColor background = line->palette().color(QPalette::Window);
    int inkAbove = 0;
    int inkBelow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                ++(y < lineBottom ? inkAbove : inkBelow);
    EXPECT_GT(inkAbove, 0) << "the first line shows";
    EXPECT_EQ(inkBelow, 0) << "no top of a second line peeks out below it";
}

TEST_F(frmMainPanelTest, LinesThatShowAreShownWhole)
{
    open();
    // Three lines in the condition box, the last with descenders down to the box's foot.
    fetch(replacedAll(imperial, "text=\"Light Snow\"",
                      "text=\"Patchy Freezing Fog, Gusty and Sloppy, Jumpy\""));
    QLabel* condition = label(*form, "txtCond");
    // The same caption with room to spare below.
    const auto roomy = lookalike(*condition, condition->text(),
                                 QSize(condition->width(), condition->height() * 2));
    roomy->setWordWrap(true);

    const double lineSpacing = QFontMetricsF(condition->font()).lineSpacing();
    const int threeLines = static_cast<int>(std::ceil(3 * lineSpacing));
    ASSERT_LE(threeLines, condition->height());
    const QImage shown = condition->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage whole = roomy->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown.copy(0, 0, shown.width(), threeLines) ==
                whole.copy(0, 0, whole.width(), threeLines))
        << "the foot of the third line is cut off";
}

TEST_F(frmMainPanelTest, CaptionsWrapAtSpacesOnly)
{
    open();
    fetch(metric, 1); // "Wed, Showers. High:27  Low:18 " is too wide for one line
    QLabel* line = label(*form, "txtDay2");
    ASSERT_EQ(line->text(), "Wed, Showers. High:27  Low:18 ");
    const auto broken =
        lookalike(*line, QStringLiteral("Wed, Showers. High:27\nLow:18"), line->size());
    EXPECT_TRUE(line->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                broken->grab().toImage().convertToFormat(QImage::Format_RGB32))
        << "the line breaks where its words end, not between \"Low:\" and \"18\"";
}

TEST_F(frmMainPanelTest, ClearWeatherBlanksTheValuesOnly)
{
    open();
    fetch(imperial);
    view().setBarCaption(QStringLiteral("-----"));
    const int trayCalls = static_cast<int>(tray.calls.size());

    view().ClearWeather();
    for (const char* name : kValueLabels)
        EXPECT_EQ(text(name), "") << name;
    EXPECT_TRUE(picture().isNull());
    EXPECT_EQ(text("txtTitle"), "Lakeside, MN");
    EXPECT_EQ(text("lblBar"), "-----");
    EXPECT_EQ(tray.calls.size(), trayCalls);
    EXPECT_EQ(tray.shownTip, "Lakeside, MN : 3" + kDegreesF) << "the tip of the last reply stays";

    view().showNetworkError();
    EXPECT_EQ(text("txtDay1"), "network error");
    view().ClearWeather();
    EXPECT_EQ(text("txtDay1"), "");
}

TEST_F(frmMainPanelTest, TrayTipIsCutAtSixtyThreeCharacters)
{
    open();
    // "São" is one character in two bytes: the cut counts characters.
    const std::string place =
        "S\xC3\xA3o Jos\xC3\xA9 dos Campos de Cima da Serra do Mar e Arredores, SP";
    fetch(replacedAll(imperial, "Lakeside, MN</title>", place + "</title>"));
    const QString full = QString::fromUtf8(place) + " : 3" + kDegreesF;
    ASSERT_GT(full.size(), 63);
    EXPECT_EQ(text("txtTitle"), QString::fromUtf8(place));
    EXPECT_EQ(tray.shownTip, full.left(63));
}

TEST_F(frmMainPanelTest, UnreadableReplyIsReportedInTheFirstForecastLine)
{
    open();
    fetch(imperial);
    const int trayCalls = static_cast<int>(tray.calls.size());

    // An error page of a proxy, well over the 2000 bytes that hand a reply over.
    const std::string errorPage =
        "HTTP/1.1 502 Bad Gateway\r\nContent-Type: text/html\r\n\r\n"
        "<html><head><title>502 Bad Gateway</title></head><body><h1>Bad Gateway</h1><p>" +
        std::string(2100, 'x') + "</p></body></html>\r\n";
    fetch(errorPage);
    EXPECT_EQ(text("txtTitle"), "Lakeside") << "the place name set at the fetch's start stays";
    EXPECT_EQ(text("txtDay1"), WeatherPanel::kUnreadableWeather);
    EXPECT_EQ(text("txtTemp"), "");
    EXPECT_TRUE(picture().isNull());
    EXPECT_EQ(tray.calls.size(), trayCalls);
    EXPECT_EQ(tray.shownTip, "Lakeside, MN : 3" + kDegreesF);

    // Cut short before the forecast: what was read stays, the picture and the tip too, and
    // the first forecast line says why.
    const std::string shortReply = imperial.substr(0, imperial.find("<yweather:forecast"));
    fetch(shortReply);
    EXPECT_EQ(text("txtTitle"), "Lakeside, MN");
    EXPECT_EQ(text("txtTemp"), "3" + kDegreesF);
    EXPECT_EQ(text("txtCond"), "Light Snow");
    EXPECT_EQ(text("txtDay1"), WeatherPanel::kUnreadableWeather);
    EXPECT_EQ(text("txtDay2"), "");
    EXPECT_EQ(imageOf(picture()), expectedImage(15));
    EXPECT_EQ(tray.calls.size(), trayCalls + 1);

    // One forecast day: its line stays, the message takes the second.
    const std::size_t secondDay =
        imperial.find("<yweather:forecast", imperial.find("<yweather:forecast") + 1);
    fetch(imperial.substr(0, secondDay));
    EXPECT_EQ(text("txtDay1"), "Tue, Snow. High:9  Low:-4");
    EXPECT_EQ(text("txtDay2"), WeatherPanel::kUnreadableWeather);
    EXPECT_EQ(imageOf(picture()), expectedImage(15));
    EXPECT_EQ(tray.shownTip, "Lakeside, MN : 3" + kDegreesF);
    EXPECT_EQ(tray.calls.size(), trayCalls + 2);
}

TEST_F(frmMainPanelTest, MarkupInAReplyIsShownAsPlainText)
{
    open();
    std::string reply =
        replacedAll(imperial, "Lakeside, MN</title>", "<b>Lakeside</b>, MN</title>");
    reply = replacedAll(reply, "text=\"Light Snow\"", "text=\"<i>Light</i> Snow\"");
    fetch(reply);
    EXPECT_EQ(text("txtTitle"), "<b>Lakeside</b>, MN");
    EXPECT_EQ(text("txtCond"), "<i>Light</i> Snow");
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    }
}

TEST_F(frmMainPanelTest, EveryControlStandsWhereTheDesignPutsItAt96Dpi)
{
    open();
    EXPECT_EQ(form->size(), QSize(207, 331));
    ASSERT_EQ(mainLayout::controls().size(), kDesignPixels.size());
    for (const auto& [name, place] : kDesignPixels) {
        const QWidget* widget = child<QWidget>(*form, name.c_str());
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), place.first) << name;
        EXPECT_EQ(widget->geometry(), place.second) << name;
    }
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    expectOptionsButtonDrawnWholeInItsBox();
}

TEST_F(frmMainPanelTest, EverythingScalesOnAHighDpiScreen)
{
    const double twipsPerPixel = 10.0; // 144 dpi
    open(twipsPerPixel);
    EXPECT_EQ(form->size(), QSize(311, 497)) << "3105 × 4965 twips, rounded";
    for (const ControlLayout& c : mainLayout::controls()) {
        const QRect actual = rect(c.name);
        EXPECT_LE(std::abs(actual.x() - c.left / twipsPerPixel), 0.5) << c.name;
        EXPECT_LE(std::abs(actual.y() - c.top / twipsPerPixel), 0.5) << c.name;
        EXPECT_LE(std::abs(actual.width() - c.width / twipsPerPixel), 0.5) << c.name;
        EXPECT_LE(std::abs(actual.height() - c.height / twipsPerPixel), 0.5) << c.name;
    }
    fetch(imperial);
    EXPECT_EQ(picture().deviceIndependentSize().toSize(), QSize(78, 78)) << "52 pixels × 1.5";
    expectOptionsButtonDrawnWholeInItsBox();
}

TEST_F(frmMainPanelTest, LayoutFontsResolveToMetricCompatibleOnes)
{
    open();
    for (const char* name :
         {"txtTitle", "txtDateTime", "Label1", "txtTemp", "Label4", "txtWTemp", "Label8",
          "txtWSpeed", "Label2", "txtCond", "Label9", "txtDay1", "txtDay2", "lblBar"}) {
        const QFont font = label(*form, name)->font();
        EXPECT_EQ(font.family(), "Courier New") << name;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25) << name;
        EXPECT_EQ(QFontInfo(font).family(), "Liberation Mono") << name;
        EXPECT_EQ(QFontInfo(font).weight(), QFont::Normal) << name;
        EXPECT_FALSE(QFontInfo(font).italic()) << name;
    }
    const QFont title = label(*form, "Label6")->font();
    EXPECT_DOUBLE_EQ(title.pointSizeF(), 9.75);
    EXPECT_EQ(QFontInfo(title).family(), "Liberation Sans");

    // The laid-out captions fit their boxes on one line, as designed.
    for (const char* name :
         {"txtTitle", "Label1", "Label4", "Label8", "Label2", "Label9", "Label6"}) {
        const QLabel* caption = label(*form, name);
        const QFontMetrics metrics(caption->font());
        EXPECT_LE(metrics.horizontalAdvance(caption->text()), caption->width()) << name;
        EXPECT_LE(metrics.height(), caption->height()) << name;
    }
}
