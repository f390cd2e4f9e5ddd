#pragma once

#include "ScreenMetrics.h"

namespace brisora {

/// ScreenMetrics from QGuiApplication's screens.
class QtScreenMetrics final : public ScreenMetrics
{
public:
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    QList<QRect> screenAreas() const override;
    QRect screenAreaAt(QPoint point) const override;
    bool placesWindows() const override;
};

} // namespace brisora
