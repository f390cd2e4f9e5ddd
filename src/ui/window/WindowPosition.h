#pragma once

#include "app/Settings.h"

#include <QPoint>

#include <optional>

class QWidget;

namespace brisora {

class ScreenMetrics;

/// Where a window stands, kept in step with the twips edges the settings record stores.
class WindowPosition
{
public:
    WindowPosition(QWidget& window, const ScreenMetrics& screen, Settings& settings);

    /// Moves the window to the recorded place, onto the nearest screen if that lies off every
    /// one; `topFirst` moves it down before across. Does nothing where windows cannot be placed.
    void apply(bool topFirst);
    /// WindowLeft and WindowTop := the current edges, rounded half to even; not where
    /// windows cannot be placed, nor while the window stands where apply pulled it in.
    void record();
    /// A drag by the user has ended: from now on the window's own place is recorded.
    void userMoveEnded();

private:
    /// The window's edges in twips.
    double leftTwips() const;
    double topTwips() const;

    QWidget& window_;
    const ScreenMetrics& screen_;
    Settings& settings_;
    /// Where the window was pulled onto a screen from a stored place off every screen; while
    /// it stands there, recordings keep the stored place.
    std::optional<QPoint> pulledInAt_;
};

} // namespace brisora
