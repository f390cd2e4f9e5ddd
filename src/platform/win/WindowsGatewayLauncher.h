#pragma once
// Windows only.

#include "GatewayLauncher.h"

#include <QString>

namespace brisora {

/// GatewayLauncher of Windows: brisora-gateway.exe from the widget's own folder, started with
/// no console window, outside the widget's job (so ending the widget, or its user's logoff
/// under another user's widget, does not take the gateway along), ending by itself once no
/// widget has asked it anything for `idleSeconds`, its failures logged to a file in
/// `logFolder` (it has no console to write them to).
class WindowsGatewayLauncher final : public GatewayLauncher
{
public:
    WindowsGatewayLauncher(QString programFolder, QString logFolder, int idleSeconds);

    bool start() override;

private:
    QString program_;
    QString logFile_;
    int idleSeconds_;
};

} // namespace brisora
