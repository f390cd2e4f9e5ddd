#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace brisora {

/// Draws the picture `name` (the art's file name without folder or extension, as
/// "options-button" or "conditions/sunny") scaled to fill `deviceSize` device pixels on a
/// transparent pixmap tagged with `devicePixelRatio`. A name that does not load gives the
/// transparent pixmap; a ratio that is not positive counts as 1.
QPixmap drawArt(const QString& name, QSize deviceSize, double devicePixelRatio = 1.0);

} // namespace brisora
