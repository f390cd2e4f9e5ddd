#include "WindowPosition.h"

#include "ScreenMetrics.h"
#include "window/WindowPlacement.h"

#include <QWidget>

#include <cmath>

namespace brisora {

WindowPosition::WindowPosition(QWidget& window, const ScreenMetrics& screen, Settings& settings)
    : window_(window), screen_(screen), settings_(settings)
{
}

double WindowPosition::leftTwips() const
{
    return window_.x() * screen_.twipsPerPixelX();
}

double WindowPosition::topTwips() const
{
    return window_.y() * screen_.twipsPerPixelY();
}

void WindowPosition::apply(bool topFirst)
{
    if (!screen_.placesWindows())
        return;
    const double tppX = screen_.twipsPerPixelX();
    const double tppY = screen_.twipsPerPixelY();
    const QRect recorded(static_cast<int>(std::lround(settings_.WindowLeft / tppX)),
                         static_cast<int>(std::lround(settings_.WindowTop / tppY)), window_.width(),
                         window_.height());
    // A monitor unplugged since the position was recorded must not strand the window, nor
    // lose the place it had there: the stored value stays until the user moves the window.
    const QPoint target = WindowPlacement::reachablePosition(recorded, screen_.screenAreas());
    pulledInAt_.reset();
    if (target != recorded.topLeft())
        pulledInAt_ = target;
    if (topFirst)
        window_.move(window_.x(), target.y());
    else
        window_.move(target.x(), window_.y());
    window_.move(target.x(), target.y());
}

void WindowPosition::record()
{
    // Where windows cannot be placed, the window's edges say nothing about where it
    // stands: the stored place waits for a desktop that can place it. Neither do they while
    // the window stands where it was pulled onto a screen.
    if (!screen_.placesWindows() || (pulledInAt_ && window_.pos() == *pulledInAt_))
        return;
    settings_.WindowLeft = WindowPlacement::roundTwips(leftTwips());
    settings_.WindowTop = WindowPlacement::roundTwips(topTwips());
}

void WindowPosition::userMoveEnded()
{
    pulledInAt_.reset();
    record();
}

} // namespace brisora
