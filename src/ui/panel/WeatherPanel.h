#pragma once

#include <QString>

#include <string>

class QLabel;
class QWidget;

namespace brisora {

class ScreenMetrics;
struct FeedCut;

/// The weather shown on the main window: the place and time lines above the light cyan
/// panel with its captions, values, condition picture, forecast lines and progress row.
/// The labels are children of the window it is built on; it only holds them.
class WeatherPanel
{
public:
    static constexpr const char* kNoPlaceTitle = "options: Select Location";
    static constexpr const char* kUnreadableWeather = "weather could not be read";

    /// Builds the lines and the panel on `window`, placed for `screen`.
    WeatherPanel(QWidget* window, const ScreenMetrics& screen);

    /// Empties the time line, the values, the forecast lines and the picture; the place
    /// line and the progress row stay.
    void clear();
    /// Shows every field `cut` holds (the first `cut.cutsDone`, in order); where the cut
    /// stopped before the second forecast line, the first of the forecast lines it left
    /// empty says kUnreadableWeather. A first forecast line that needs two lines switches
    /// to the two-line layout for the rest of the run.
    void showCut(const FeedCut& cut, double devicePixelRatio);
    /// Shows the stored place name (UTF-8) in the place line at once.
    void showPlaceName(const std::string& name);
    void showNetworkError();

    QString title() const;
    void setTitle(const QString& caption);
    QString temperature() const;
    /// False while the place line says kNoPlaceTitle, spaces at either end aside.
    bool showsPlace() const;
    QString bar() const;
    void setBar(const QString& caption);

private:
    void useTwoLineForecast();

    const ScreenMetrics& screen_;
    bool twoLineForecast_ = false;
    QLabel* txtTitle = nullptr;
    QLabel* txtDateTime = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* txtTemp = nullptr;
    QLabel* txtWTemp = nullptr;
    QLabel* txtWSpeed = nullptr;
    QLabel* txtCond = nullptr;
    QLabel* txtDay1 = nullptr;
    QLabel* txtDay2 = nullptr;
    QLabel* lblBar = nullptr;
};

} // namespace brisora
