#include "art/Art.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace brisora {

namespace {

// The build renders every picture from its vector source to ":/png/<name>-<w>x<h>.png" at
// each size the windows draw it for. Any other size is scaled down from the smallest
// rendering that covers it (up from the largest when none does).
QString closestRendering(const QString& name, QSize deviceSize)
{
    const QFileInfo base(QStringLiteral(":/png/") + name);
    const QString prefix = base.fileName() + QLatin1Char('-');
    QString covering;
    QSize coveringSize;
    QString largest;
    QSize largestSize;
    for (const QFileInfo& file :
         QDir(base.path()).entryInfoList({prefix + QStringLiteral("*.png")})) {
        const QStringList sides =
            file.completeBaseName().mid(prefix.size()).split(QLatin1Char('x'));
        if (sides.size() != 2)
            continue;
        const QSize size(sides[0].toInt(), sides[1].toInt());
        if (size == deviceSize)
            return file.filePath();
        if (size.width() >= deviceSize.width() && size.height() >= deviceSize.height() &&
            (covering.isEmpty() || size.width() < coveringSize.width())) {
            covering = file.filePath();
            coveringSize = size;
        }
        if (largest.isEmpty() || size.width() > largestSize.width()) {
            largest = file.filePath();
            largestSize = size;
        }
    }
    return covering.isEmpty() ? largest : covering;
}

} // namespace

QPixmap drawArt(const QString& name, QSize deviceSize, double devicePixelRatio)
{
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1.0;
    QPixmap pixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    const QPixmap rendered(closestRendering(name, deviceSize));
    if (!rendered.isNull()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(pixmap.rect(), rendered);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace brisora
