#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

#include <cstdint>

namespace brisora {

/// Rules for where the main window may stand.
class WindowPlacement
{
public:
    /// Pixels of the title strip that must lie on a screen for the window to count as
    /// reachable: enough to grab it with the pointer.
    static constexpr int kGrabbableWidth = 40;
    static constexpr int kGrabbableHeight = 20;

    /// Nearest whole number of twips, halves to the even neighbour, kept within 32 bits.
    static std::int32_t roundTwips(double twips);

    /// Where a window of `window` (pixels, virtual desktop) should stand so that it can be
    /// grabbed: its own place when its top strip lies on one of `screens`; otherwise the
    /// nearest place at which it lies wholly inside the nearest screen. No screens: unchanged.
    static QPoint reachablePosition(const QRect& window, const QList<QRect>& screens);
};

} // namespace brisora
