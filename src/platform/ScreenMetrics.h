#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace brisora {

/// What the windows need to know about the screens.
class ScreenMetrics
{
public:
    virtual ~ScreenMetrics() = default;

    /// Twips per pixel horizontally and vertically: 1440 / logical dots per inch
    /// (15 at 96 dpi).
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    /// Each screen's available area in pixels of the virtual desktop, primary first.
    virtual QList<QRect> screenAreas() const = 0;
    /// The available area of the screen that holds `point` (pixels of the virtual desktop);
    /// the primary screen's when none does, empty when there is no screen.
    virtual QRect screenAreaAt(QPoint point) const = 0;
    /// False where the desktop decides where windows stand and will not say (a native
    /// Wayland session): then a window's position is neither set nor worth recording.
    virtual bool placesWindows() const = 0;
};

} // namespace brisora
