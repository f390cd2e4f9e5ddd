#include "QtScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace brisora {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kStandardTwipsPerPixel = 15.0;

double twipsPerPixel(double dpi)
{
    return dpi > 0 ? kTwipsPerInch / dpi : kStandardTwipsPerPixel;
}
} // namespace

double QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

double QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

QList<QRect> QtScreenMetrics::screenAreas() const
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.append(screen->availableGeometry());
    return areas;
}

QRect QtScreenMetrics::screenAreaAt(QPoint point) const
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

bool QtScreenMetrics::placesWindows() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace brisora
