#include "WindowIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace brisora {

QIcon windowIconFromArt()
{
    QSvgRenderer art(QStringLiteral(":/brisora.svg"));
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        art.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace brisora
