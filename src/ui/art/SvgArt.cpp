#include "SvgArt.h"

#include <QPainter>
#include <QSvgRenderer>

namespace brisora {

QPixmap drawSvg(const QString& path, QSize deviceSize, double devicePixelRatio)
{
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1.0;
    QPixmap pixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace brisora
