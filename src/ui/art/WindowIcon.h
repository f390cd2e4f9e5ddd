#pragma once

#include <QIcon>

namespace brisora {

/// The window and tray icon from the art, offered at 16, 24, 32, 48, 64, 128 and
/// 256 pixels, the sizes task bars, switchers and docks ask for. Each size is drawn the first
/// time it is asked for, so making the icon costs nothing at start-up; no icon-engine plugin
/// has to be loaded for it.
QIcon windowIconFromArt();

} // namespace brisora
