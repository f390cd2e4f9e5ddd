#include "frmOptions.h"
#include "OptionsHost.h"
#include "PlaceSearch.h"
#include "PlatformServices.h"
#include "app/Module1.h"
#include "support/FakePlatform.h"
#include "support/Fixture.h"
#include "support/WindowLookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

class RecordingHost final : public OptionsHost
{
public:
    void RefreshOptions() override { calls << QStringLiteral("refresh"); }
    void SaveConfig() override { calls << QStringLiteral("save"); }
    void setOpenItemEnabled(bool enabled) override
    {
        calls << (enabled ? QStringLiteral("open on") : QStringLiteral("open off"));
    }
    void showMainWindow() override { calls << QStringLiteral("show"); }

    QStringList calls;
};

QByteArray recordedReply()
{
    return QByteArray::fromStdString(fixture("search-one.txt"));
}

class frmOptionsTest : public testing::Test, protected FakePlatform
{
protected:
    frmOptionsTest()
    {
        services.executablePath = QStringLiteral("/home/u/My Apps/brisora");
        module.AppVersion = "1.25";
        module.Settings = firstRunSettings();
    }
    ~frmOptionsTest() override { delete dialog.data(); }

    frmOptions& open()
    {
        dialog = new frmOptions(module, host, services, nullptr);
        dialog->show();
        return *dialog;
    }
    template <typename T> T* control(const char* name) const { return child<T>(*dialog, name); }
    QPushButton* okay() const { return control<QPushButton>("cmdOK"); }
    QLineEdit* words() const { return control<QLineEdit>("txtWord"); }
    QString status() const { return control<QLabel>("txtLocation")->text(); }
    FakeTcpClient* socket() const { return sockets.back(); }
    /// Lets the closed dialog delete itself.
    void settle() const { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    /// Types `text` and presses Enter, then lets the recorded reply arrive and one tick pass.
    void searchFor(const QString& text)
    {
        words()->setText(text);
        QTest::keyClick(words(), Qt::Key_Return);
        socket()->deliverConnect();
        socket()->deliverData(recordedReply());
        dialog->placeSearch().Timer1_Timer();
    }

    Module1 module;
    RecordingHost host;
    QPointer<frmOptions> dialog;
};

} // namespace

TEST_F(frmOptionsTest, OpensAsAFixedToolWindowLaidOutInTwips)
{
    frmOptions& d = open();
    EXPECT_EQ(d.windowTitle(), "Options");
    EXPECT_EQ(d.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(d.size(), QSize(435, 327));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(okay()->geometry(), QRect(344, 286, 73, 25));
    EXPECT_EQ(words()->geometry(), QRect(14, 26, 171, 18));
    EXPECT_EQ(words()->parentWidget()->objectName(), "Frame1");
    EXPECT_EQ(control<QWidget>("Frame3")->geometry(), QRect(3, -3, 233, 116));
    EXPECT_EQ(d.focusWidget(), words());
    EXPECT_FALSE(okay()->isDefault());
    EXPECT_TRUE(d.testAttribute(Qt::WA_DeleteOnClose));

    // Keyboard order: the place, the units, the buttons, the start options.
    QStringList order;
    for (QWidget* w = words(); order.size() < 9; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    EXPECT_EQ(order, (QStringList{"txtWord", "Command1", "optF", "optC", "Command2", "cmdOK",
                                  "chkOnStart", "chkOnTray", "cboRefresh"}));

    const QStringList about = control<QLabel>("lblAbout")->text().split("\r\n");
    ASSERT_GE(about.size(), 12);
    EXPECT_EQ(about.mid(0, 8),
              (QStringList{"Brisora 1.25", "______________", "", "Enter your location like...",
                           "Tokyo, 60610, Eiffel Tower ...",
                           "Hit Find (or ENTER key) and Okay (or press ENTER key again !! ",
                           "Hover on system tray to quick look temp.", ""}));
    EXPECT_TRUE(about[8].contains("Weather data by Open-Meteo.com"));
    EXPECT_TRUE(about[9].contains("GeoNames") && about[9].contains("OpenStreetMap"));
    EXPECT_FALSE(control<QLabel>("lblAbout")->text().endsWith("\n"));
    // Every line, the credits included, fits the label.
    const QLabel* aboutLabel = control<QLabel>("lblAbout");
    EXPECT_LE(aboutLabel->heightForWidth(aboutLabel->width()), aboutLabel->height());

    // A screen of 120 dots per inch has 12 twips per pixel.
    delete dialog.data();
    screen.twipsPerPixel = 12;
    EXPECT_EQ(open().size(), QSize(544, 409));
}

TEST_F(frmOptionsTest, RefreshListShowsAndKeepsTheStoredInterval)
{
    const struct
    {
        std::int16_t hours;
        int index;
    } cases[] = {{1, 0}, {3, 1}, {6, 2}, {12, 3}, {0, -1}, {7, -1}};
    for (const auto& c : cases) {
        module.Settings.RefreshHours = c.hours;
        module.Settings.LocationName = ">Lakeside";
        open();
        auto* list = control<QComboBox>("cboRefresh");
        EXPECT_EQ(list->count(), 4);
        EXPECT_EQ(list->itemText(3), "Every 12 Hrs");
        EXPECT_EQ(list->currentIndex(), c.index) << c.hours;
        okay()->click();
        EXPECT_EQ(module.Settings.RefreshHours, c.hours);
        settle();
    }

    open();
    control<QComboBox>("cboRefresh")->setCurrentIndex(1);
    okay()->click();
    EXPECT_EQ(module.Settings.RefreshHours, 3);
}

TEST_F(frmOptionsTest, SwitchesAndUnitsGoBothWays)
{
    module.Settings.StartWithWindows = 1;
    module.Settings.StartInTray = 2; // not 0 counts as set when loading
    module.Settings.UseCelsius = 1;
    module.Settings.LocationName = ">Lakeside";
    open();
    EXPECT_TRUE(control<QCheckBox>("chkOnStart")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkOnTray")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optC")->isChecked());
    EXPECT_EQ(status(), ">Lakeside");
    okay()->click();
    EXPECT_EQ(module.Settings.StartInTray, 1);
    EXPECT_EQ(module.Settings.UseCelsius, 1);
    EXPECT_EQ(logon.sets, 1);
    EXPECT_EQ(logon.entry, "/home/u/My Apps/brisora");
    settle();

    // Written again on every "Okay" with the box checked, removed on every one without.
    open();
    okay()->click();
    EXPECT_EQ(logon.sets, 2);
    settle();
    open();
    control<QCheckBox>("chkOnStart")->setChecked(false);
    control<QCheckBox>("chkOnTray")->setChecked(false);
    control<QRadioButton>("optF")->setChecked(true);
    okay()->click();
    EXPECT_EQ(module.Settings.StartWithWindows, 0);
    EXPECT_EQ(module.Settings.StartInTray, 0);
    EXPECT_EQ(module.Settings.UseCelsius, 0);
    EXPECT_EQ(logon.deletes, 1);
    EXPECT_EQ(logon.entry, "");
    settle();
    open();
    okay()->click();
    EXPECT_EQ(logon.deletes, 2);
    EXPECT_EQ(logon.sets, 2);
}

TEST_F(frmOptionsTest, NoPlaceKeepsOkayDisabled)
{
    for (const char* name : {">none", "  >none  ", "", "   "}) {
        module.Settings.LocationName = name;
        open();
        EXPECT_FALSE(okay()->isEnabled()) << '"' << name << '"';
        EXPECT_EQ(status(), name);
        delete dialog.data();
    }
    module.Settings.LocationName = "> none";
    EXPECT_TRUE(open().findChild<QPushButton*>("cmdOK")->isEnabled());
}

TEST_F(frmOptionsTest, EnterTwiceFindsAndStoresThePlace)
{
    module.Settings.LocationWoeid = "2459115";
    module.Settings.LocationName = ">New York";
    open();
    words()->setText(QStringLiteral("Sao"));
    QTest::keyClick(words(), Qt::Key_Return);
    EXPECT_EQ(status(), "searching Sao... ");
    EXPECT_FALSE(okay()->isEnabled());
    // Enter again during the search starts it over.
    QTest::keyClick(words(), Qt::Key_Return);
    EXPECT_EQ(socket()->connects.size(), 2);
    EXPECT_EQ(socket()->closeCount, 2);

    searchFor(QStringLiteral("S\u00e3o Paulo"));
    EXPECT_EQ(status(), QStringLiteral(">S\u00e3o Paulo Found  !"));
    ASSERT_TRUE(okay()->isEnabled());
    EXPECT_EQ(dialog->focusWidget(), okay());

    QTest::keyClick(okay(), Qt::Key_Return);
    EXPECT_EQ(module.Settings.LocationWoeid, "90455827");
    EXPECT_EQ(module.Settings.LocationName, ">S\xC3\xA3o Paulo");
    EXPECT_EQ(host.calls.first(), "refresh");
    settle();
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(frmOptionsTest, CancelAfterASuccessfulSearchStoresNothing)
{
    module.Settings.LocationWoeid = "2459115";
    module.Settings.LocationName = ">New York";
    module.Settings.StartWithWindows = 1;
    const Settings before = module.Settings;
    open();
    control<QCheckBox>("chkOnStart")->setChecked(false);
    searchFor(QStringLiteral("S\u00e3o Paulo"));
    ASSERT_TRUE(okay()->isEnabled());
    control<QPushButton>("Command2")->click();
    EXPECT_EQ(module.Settings, before);
    EXPECT_EQ(logon.sets + logon.deletes, 0);
    EXPECT_FALSE(host.calls.contains("refresh"));

    // The next opening shows the old place again.
    settle();
    open();
    EXPECT_EQ(status(), ">New York");
}

TEST_F(frmOptionsTest, EscapeDoesNotClose)
{
    open();
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTest::keyClick(words(), Qt::Key_Escape);
    settle();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(frmOptionsTest, ClosingGivesBackTheMainWindowAsItWas)
{
    enum class Way
    {
        Okay,
        Cancel,
        CloseBox,
        CancelFromOwner
    };
    for (Way way : {Way::Okay, Way::Cancel, Way::CloseBox, Way::CancelFromOwner}) {
        for (bool shownBefore : {true, false}) {
            SCOPED_TRACE(testing::Message() << "way " << int(way) << " shown " << shownBefore);
            module.Settings.LocationName = ">Lakeside";
            module.ShownBeforeOptions = shownBefore ? kTrue : kFalse;
            module.WindowShown = kFalse;
            host.calls.clear();
            open();
            // A completed search leaves its connection open; the close ends it.
            searchFor(QStringLiteral("x"));
            FakeTcpClient* sock = socket();
            const int closesBefore = sock->closeCount;
            switch (way) {
            case Way::Okay:
                okay()->click();
                break;
            case Way::Cancel:
                control<QPushButton>("Command2")->click();
                break;
            case Way::CloseBox:
                dialog->close();
                break;
            case Way::CancelFromOwner:
                dialog->cancel();
                break;
            }
            EXPECT_EQ(sock->closeCount, closesBefore + 1);
            QStringList expected =
                shownBefore ? QStringList{"open off", "show"} : QStringList{"open on"};
            // "Okay" writes the file after the refresh, which hands the new place and units
            // to the fetch that the write reads them from; no other way writes it.
            if (way == Way::Okay)
                expected = QStringList{"refresh", "save"} + expected;
            EXPECT_EQ(host.calls, expected);
            EXPECT_EQ(module.WindowShown, shownBefore ? kTrue : kFalse);
            settle();
            EXPECT_TRUE(dialog.isNull());
        }
    }
}

TEST_F(frmOptionsTest, RendersAtItsSize)
{
    module.Settings.LocationName = ">Lakeside";
    open();
    const QPixmap picture = dialog->grab();
    EXPECT_EQ(picture.size(), QSize(435, 327));
    // The background picture is dark, so the white about text can be read on it.
    const QImage image = picture.toImage();
    EXPECT_LT(qGray(image.pixel(420, 5)), 96);
    const QByteArray target = qgetenv("BRISORA_OPTIONS_SCREENSHOT");
    if (!target.isEmpty()) {
        EXPECT_TRUE(picture.save(QString::fromLocal8Bit(target), "PNG"));
    }
}
