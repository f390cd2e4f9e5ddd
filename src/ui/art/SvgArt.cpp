#include "art/Art.h"

#include <QPainter>
#include <QSvgRenderer>

namespace brisora {

QPixmap drawArt(const QString& name, QSize deviceSize, double devicePixelRatio)
{
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1.0;
    QPixmap pixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace brisora
