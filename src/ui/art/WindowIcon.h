#pragma once

#include <QIcon>

namespace brisora {

/// The window and tray icon drawn from the art at 16, 24, 32, 48, 64, 128 and 256 pixels,
/// the sizes task bars, switchers and docks ask for. Built from pixmaps, so no icon-engine
/// plugin has to be loaded for it.
QIcon windowIconFromArt();

} // namespace brisora
