#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace brisora {

class TcpClient;
class TrayIconService;
class SettingsStorage;
class ScreenMetrics;
class StartAtLogon;
class WindowDesktopHints;
class BootClock;

/// Everything outside the process that the windows touch, injected at start-up
/// (the real implementations in main, fakes in tests).
struct PlatformServices
{
    std::function<std::unique_ptr<TcpClient>()> newSocket;
    TrayIconService& tray;
    SettingsStorage& settingsStorage;
    ScreenMetrics& screen;
    StartAtLogon& startAtLogon;
    WindowDesktopHints& desktopHints;
    const BootClock& clock; ///< counts the refresh interval through sleep
    QString executablePath; ///< absolute path of the running program
    std::string feedHost;   ///< weather feed service, "name" or "name:port"
    std::string searchHost; ///< place search service, "name" or "name:port"
    std::string appVersion; ///< the program's version, "1.25"
};

} // namespace brisora
