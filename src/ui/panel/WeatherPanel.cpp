#include "WeatherPanel.h"

#include "Fonts.h"
#include "ScreenMetrics.h"
#include "app/Utf8Text.h"
#include "art/ConditionImages.h"
#include "feed/FeedCutter.h"
#include "layout/MainWindowLayout.h"
#include "widgets/Colours.h"
#include "widgets/LayoutControls.h"

#include <QLabel>

#include <cmath>

namespace brisora {

namespace {

using namespace colours;

constexpr auto kCourierNew = "Courier New";
constexpr double kPanelFontPoints = 8.25;
constexpr double kStandardTwipsPerPixel = 15.0; // 96 dots per inch

} // namespace

WeatherPanel::WeatherPanel(QWidget* window, const ScreenMetrics& screen) : screen_(screen)
{
    namespace L = mainLayout;
    const QFont courier = layoutFont(QLatin1String(kCourierNew), kPanelFontPoints);
    const auto add = [&](const ControlLayout& control, QWidget* container, const QString& caption) {
        return addLayoutLabel(control, container, caption, courier, screen_);
    };

    txtTitle = add(L::txtTitle, window, QLatin1String(kNoPlaceTitle));
    txtDateTime = add(L::txtDateTime, window, QString());
    for (QLabel* line : {txtTitle, txtDateTime}) {
        line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        paintColours(line, kCyan, &kBlack);
    }

    auto* picPanel = new QWidget(window);
    picPanel->setObjectName(QLatin1String(L::picPanel.name));
    picPanel->setGeometry(pixelRect(L::picPanel, screen_));
    paintColours(picPanel, kBlack, &kPanelCyan);

    Picture1 = new QLabel(picPanel);
    Picture1->setObjectName(QLatin1String(L::Picture1.name));
    Picture1->setGeometry(pixelRect(L::Picture1, screen_));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Filled with the panel colour it inherits, so the picture sits on the light cyan.
    Picture1->setAutoFillBackground(true);

    add(L::Label1, picPanel, QStringLiteral("Temp :"));
    txtTemp = add(L::txtTemp, picPanel, QString());
    add(L::Label4, picPanel, QStringLiteral("Feels :"));
    txtWTemp = add(L::txtWTemp, picPanel, QString());
    add(L::Label8, picPanel, QStringLiteral("Wind :"));
    txtWSpeed = add(L::txtWSpeed, picPanel, QString());
    add(L::Label2, picPanel, QStringLiteral("Condition :"));
    txtCond = add(L::txtCond, picPanel, QString());
    add(L::Label9, picPanel, QStringLiteral("Forecast :"));
    txtDay1 = add(L::txtDay1, picPanel, QString());
    txtDay2 = add(L::txtDay2, picPanel, QString());
    lblBar = add(L::lblBar, picPanel, QString(28, QLatin1Char('-')));
    lblBar->setWordWrap(false);
}

void WeatherPanel::clear()
{
    for (QLabel* value : {txtDateTime, txtTemp, txtWTemp, txtWSpeed, txtCond, txtDay1, txtDay2})
        value->setText(QString());
    Picture1->setPixmap(QPixmap());
}

void WeatherPanel::showCut(const FeedCut& cut, double devicePixelRatio)
{
    const int done = cut.cutsDone;
    if (done >= 1)
        txtTitle->setText(QString::fromStdString(cut.title));
    if (done >= 2)
        txtDateTime->setText(QString::fromStdString(cut.dateTime));
    if (done >= 3)
        txtWTemp->setText(QString::fromStdString(cut.windChill));
    if (done >= 4)
        txtWSpeed->setText(QString::fromStdString(cut.windSpeed));
    if (done >= 5)
        txtCond->setText(QString::fromStdString(cut.condition));
    if (done >= 6)
        Picture1->setPixmap(ConditionImages::picture(
            cut.imageIndex, devicePixelRatio, kStandardTwipsPerPixel / screen_.twipsPerPixelX()));
    if (done >= 7)
        txtTemp->setText(QString::fromStdString(cut.temperature));
    if (done >= 8) {
        if (cut.day1NeedsTwoLines)
            useTwoLineForecast();
        txtDay1->setText(QString::fromStdString(cut.day1));
    }
    if (done >= 9)
        txtDay2->setText(QString::fromStdString(cut.day2));
    // An error page, a reply cut short or another layout: say so in the first forecast line
    // the reply left empty, and keep everything it did give.
    if (done < 8)
        txtDay1->setText(QLatin1String(kUnreadableWeather));
    else if (done < 9)
        txtDay2->setText(QLatin1String(kUnreadableWeather));
}

void WeatherPanel::useTwoLineForecast()
{
    // Once a long first line has been shown the two-line layout stays for the run.
    if (twoLineForecast_)
        return;
    twoLineForecast_ = true;
    const double tppY = screen_.twipsPerPixelY();
    txtDay1->resize(txtDay1->width(),
                    mainLayout::toPixels(mainLayout::kDay1TwoLineHeightTwips, tppY));
    showWholeLinesOnly(txtDay1);
    // The first line never moves: its laid-out top keeps the exact twips.
    txtDay2->move(txtDay2->x(),
                  mainLayout::toPixels(
                      mainLayout::txtDay1.top + mainLayout::kDay2OffsetBelowDay1Twips, tppY));
}

void WeatherPanel::showPlaceName(const std::string& name)
{
    txtTitle->setText(QString::fromStdString(name));
    txtTitle->repaint();
}

void WeatherPanel::showNetworkError()
{
    txtDay1->setText(QStringLiteral("network error"));
}

QString WeatherPanel::title() const
{
    return txtTitle->text();
}

void WeatherPanel::setTitle(const QString& caption)
{
    txtTitle->setText(caption);
}

QString WeatherPanel::temperature() const
{
    return txtTemp->text();
}

bool WeatherPanel::showsPlace() const
{
    return trimSpaces(txtTitle->text().toStdString()) != kNoPlaceTitle;
}

QString WeatherPanel::bar() const
{
    return lblBar->text();
}

void WeatherPanel::setBar(const QString& caption)
{
    lblBar->setText(caption);
}

} // namespace brisora
