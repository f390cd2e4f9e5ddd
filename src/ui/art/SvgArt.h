#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace brisora {

/// Draws the SVG at `path` scaled to fill `deviceSize` device pixels on a transparent
/// pixmap tagged with `devicePixelRatio`. A path that does not load gives the transparent
/// pixmap; a ratio that is not positive counts as 1.
QPixmap drawSvg(const QString& path, QSize deviceSize, double devicePixelRatio = 1.0);

} // namespace brisora
