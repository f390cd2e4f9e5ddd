#pragma once

#include "ScreenMetrics.h"

namespace brisora::test {

/// A desktop of the test's choosing: 96 dpi and one 1920 × 1080 screen unless changed.
class FakeScreenMetrics final : public ScreenMetrics
{
public:
    double twipsPerPixelX() const override { return twipsPerPixel; }
    double twipsPerPixelY() const override { return twipsPerPixel; }
    QList<QRect> screenAreas() const override { return areas; }
    QRect screenAreaAt(QPoint point) const override
    {
        for (const QRect& area : areas)
            if (area.contains(point))
                return area;
        return areas.value(0);
    }
    bool placesWindows() const override { return places; }

    double twipsPerPixel = 15.0;
    QList<QRect> areas{QRect(0, 0, 1920, 1080)};
    bool places = true;
};

} // namespace brisora::test
