#pragma once

#include <QColor>

namespace brisora::colours {

// The colours both windows are painted in, named once so that a shade means one thing.
inline const QColor kBlack(0, 0, 0);
inline const QColor kWhite(255, 255, 255);
inline const QColor kSilver(192, 192, 192);
/// The weather panel's text lines above the panel.
inline const QColor kCyan(0, 255, 255);
/// The weather panel's background.
inline const QColor kPanelCyan(192, 255, 255);
/// The options dialog's chosen place.
inline const QColor kPlaceCyan(128, 255, 255);
/// The options dialog's background.
inline const QColor kDialogPanel(27, 31, 30);

} // namespace brisora::colours
