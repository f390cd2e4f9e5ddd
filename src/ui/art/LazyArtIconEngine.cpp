#include "LazyArtIconEngine.h"

#include "art/Art.h"

#include <QPainter>

#include <algorithm>
#include <utility>

namespace brisora {

LazyArtIconEngine::LazyArtIconEngine(QString name, QList<int> sides)
    : name_(std::move(name)), sides_(std::move(sides))
{
}

void LazyArtIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap LazyArtIconEngine::pixmap(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int side = std::max(1, std::min(size.width(), size.height()));
    auto drawn = drawn_.find(side);
    if (drawn == drawn_.end())
        drawn = drawn_.insert(side, drawArt(name_, QSize(side, side)));
    return *drawn;
}

QList<QSize> LazyArtIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> sizes;
    for (const int side : sides_)
        sizes.append(QSize(side, side));
    return sizes;
}

QIconEngine* LazyArtIconEngine::clone() const
{
    return new LazyArtIconEngine(*this);
}

QString LazyArtIconEngine::key() const
{
    return QStringLiteral("brisora-art");
}

} // namespace brisora
