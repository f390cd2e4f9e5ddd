#pragma once

#include <QIconEngine>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QString>

namespace brisora {

/// An icon engine that draws the picture `name` (as drawArt names it) only when a size is first
/// asked for, and keeps each drawing. It offers `sides` (square, in device pixels) as its sizes, so
/// a task bar or tray that asks for each of them gets a sharp one; every mode and state shows the
/// same drawing.
class LazyArtIconEngine final : public QIconEngine
{
public:
    LazyArtIconEngine(QString name, QList<int> sides);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;

private:
    QString name_;
    QList<int> sides_;
    QMap<int, QPixmap> drawn_;
};

} // namespace brisora
