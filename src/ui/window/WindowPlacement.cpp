#include "WindowPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brisora {

namespace {

/// Squared distance from `point` to the nearest point of `area`.
qint64 distanceSquared(const QPoint& point, const QRect& area)
{
    const qint64 dx =
        std::max({qint64(area.left()) - point.x(), qint64(0), qint64(point.x()) - area.right()});
    const qint64 dy =
        std::max({qint64(area.top()) - point.y(), qint64(0), qint64(point.y()) - area.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

std::int32_t WindowPlacement::roundTwips(double twips)
{
    const double rounded = std::nearbyint(twips); // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (rounded > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

QPoint WindowPlacement::reachablePosition(const QRect& window, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return window.topLeft();
    const QRect strip(window.topLeft(), QSize(window.width(), kGrabbableHeight));
    for (const QRect& screen : screens) {
        const QRect onScreen = strip.intersected(screen);
        if (onScreen.width() >= kGrabbableWidth && onScreen.height() >= kGrabbableHeight)
            return window.topLeft();
    }
    const QRect* nearest = &screens.first();
    for (const QRect& screen : screens)
        if (distanceSquared(window.center(), screen) < distanceSquared(window.center(), *nearest))
            nearest = &screen;
    const int left = std::clamp(window.left(), nearest->left(),
                                std::max(nearest->left(), nearest->right() + 1 - window.width()));
    const int top = std::clamp(window.top(), nearest->top(),
                               std::max(nearest->top(), nearest->bottom() + 1 - window.height()));
    return QPoint(left, top);
}

} // namespace brisora
