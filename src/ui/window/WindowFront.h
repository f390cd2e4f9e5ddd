#pragma once

class QWidget;

namespace brisora {

/// Gives a window back to the user: out of the minimized state into its normal one, on
/// screen, raised above its neighbours and activated. A plain show leaves a minimized window
/// minimized under some window managers.
void bringToFront(QWidget& window);

} // namespace brisora
