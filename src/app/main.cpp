// The composition root: the only place that names the concrete platform pieces of each
// system and hands them to the windows. CMake builds only the files of the pieces chosen
// here.
#include "BuildConfig.h"
#include "Fonts.h"
#include "Lifecycle.h"
#include "PlatformServices.h"
#include "SessionEvents.h"
#include "SingleInstance.h"
#include "app/Module1.h"
#include "app/PlatformRequest.h"
#include "frmMain.h"
#include "qt/FileSettingsStorage.h"
#include "qt/QtScreenMetrics.h"
#include "qt/QtTrayIconService.h"

#include <QApplication>
#include <QThreadPool>

#include <cstdlib>

#if defined(Q_OS_LINUX)
#include "posix/DesktopTrayProbe.h"
#include "posix/PosixHandoverChannel.h"
#include "posix/PosixTcpClient.h"
using SystemTcpClient = brisora::PosixTcpClient;
using SystemHandoverChannel = brisora::PosixHandoverChannel;
using SystemTrayProbe = brisora::DesktopTrayProbe;
#elif defined(Q_OS_WIN)
#include "GatewayOnDemand.h"
#include "GatewayStartingTcpClient.h"
#include "qt/ImmediateTrayProbe.h"
#include "win/WindowsGatewayLauncher.h"
#include "win/WindowsHandoverChannel.h"
#include "win/WindowsTcpClient.h"
using SystemTcpClient = brisora::WindowsTcpClient;
using SystemHandoverChannel = brisora::WindowsHandoverChannel;
using SystemTrayProbe = brisora::ImmediateTrayProbe;
#else
#include "qt/ImmediateTrayProbe.h"
#include "qt/QtHandoverChannel.h"
#include "qt/QtTcpClient.h"
using SystemTcpClient = brisora::QtTcpClient;
using SystemHandoverChannel = brisora::QtHandoverChannel;
using SystemTrayProbe = brisora::ImmediateTrayProbe;
#endif

#if defined(Q_OS_WIN)
#include "win/WindowsBootClock.h"
#include "win/WindowsProgramPlaces.h"
#include "win/WindowsRunKey.h"
using SystemStartAtLogon = brisora::WindowsRunKey;
using SystemBootClock = brisora::WindowsBootClock;
using SystemProgramPlaces = brisora::WindowsProgramPlaces;
constexpr auto kWindowSystems = brisora::WindowSystems::Windows;
#else
#include "posix/PosixBootClock.h"
#include "posix/PosixProgramPlaces.h"
#include "posix/XdgAutostartEntry.h"
using SystemStartAtLogon = brisora::XdgAutostartEntry;
using SystemBootClock = brisora::PosixBootClock;
using SystemProgramPlaces = brisora::PosixProgramPlaces;
constexpr auto kWindowSystems = brisora::WindowSystems::XOrWayland;
#endif

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include "x11/X11WindowDesktopHints.h"
using SystemDesktopHints = brisora::X11WindowDesktopHints;
#elif defined(Q_OS_WIN)
#include "win/WindowsDesktopHints.h"
using SystemDesktopHints = brisora::WindowsDesktopHints;
#else
#include "qt/QtWindowDesktopHints.h"
using SystemDesktopHints = brisora::QtWindowDesktopHints;
#endif

#if defined(Q_OS_UNIX)
#include "SignalWatcher.h"

#include <csignal>
#endif

namespace {

std::string_view environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// Asks Qt for X where there is one (on Unix desktops), or for Windows' platform with FreeType's
/// glyphs, before the application object picks a platform.
void requestPlatform(int argc, const char* const* argv)
{
    const std::string_view request =
        brisora::platformRequest(argc, argv,
                                 {environmentValue("QT_QPA_PLATFORM"), environmentValue("DISPLAY"),
                                  environmentValue("WAYLAND_DISPLAY")},
                                 kWindowSystems);
    if (!request.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray(request.data(), qsizetype(request.size())));
}

#if defined(Q_OS_WIN)
/// Seconds a gateway the widget started waits for a request before it ends; tests shorten it.
int gatewayIdleSeconds()
{
    constexpr int kQuarterHour = 900;
    bool given = false;
    const int seconds = qEnvironmentVariableIntValue("BRISORA_GATEWAY_IDLE_SECONDS", &given);
    return given && seconds > 0 ? seconds : kQuarterHour;
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    requestPlatform(argc, argv);
    QApplication app(argc, argv);
    // A desktop session saved while the widget still let itself be restarted names it, and
    // the desktop restores that start beside the one the widget's own logon entry makes. A
    // restored start ends here, unseen: before it could claim the settings file, knock on
    // the running widget (which would show it) or write anything.
    if (app.isSessionRestored())
        return EXIT_SUCCESS;
    // Hiding the widget to the tray closes no program; only Exit (or a signal) does.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("brisora"));
    // Lets task bars and docks match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brisora.Brisora"));

    const SystemProgramPlaces places;
    brisora::FileSettingsStorage settingsStorage(QCoreApplication::applicationDirPath(), places);
    // One widget per settings file: a later start brings the running one forward and ends.
    SystemHandoverChannel handover;
    brisora::SingleInstance instance(settingsStorage.settingsPath(), places.runtimeFolder(),
                                     handover);
    if (!instance.claim())
        return instance.handOver() ? EXIT_SUCCESS : EXIT_FAILURE;

    // Drawing the pictures wakes Qt's worker threads; let them go soon after instead of
    // idling for half a minute in a widget that should sleep between its minute ticks.
    QThreadPool::globalInstance()->setExpiryTimeout(1000);
    brisora::installFontSubstitutions();

    SystemTrayProbe trayProbe;
    brisora::QtTrayIconService tray(trayProbe);
    brisora::QtScreenMetrics screen;
    SystemStartAtLogon startAtLogon;
    SystemDesktopHints desktopHints;
    const SystemBootClock bootClock{};
#if defined(Q_OS_WIN)
    // Windows has no service manager to start the gateway on the first connection, as the
    // socket unit does on Linux: a refused one starts it.
    brisora::WindowsGatewayLauncher gatewayLauncher(
        QCoreApplication::applicationDirPath(), places.runtimeFolder() + QStringLiteral("/gateway"),
        gatewayIdleSeconds());
    brisora::GatewayOnDemand gatewayOnDemand(gatewayLauncher, bootClock,
                                             SystemTcpClient::kConnectionRefused);
    const auto newSocket = [&gatewayOnDemand] {
        return std::make_unique<brisora::GatewayStartingTcpClient>(
            std::make_unique<SystemTcpClient>(), gatewayOnDemand);
    };
#else
    const auto newSocket = [] { return std::make_unique<SystemTcpClient>(); };
#endif
    brisora::PlatformServices platform{
        newSocket,
        tray,
        settingsStorage,
        screen,
        startAtLogon,
        desktopHints,
        bootClock,
        QCoreApplication::applicationFilePath(),
        brisora::build::kFeedHost,
        brisora::build::kSearchHost,
        brisora::build::kAppVersion,
    };

    brisora::Module1 module;
    brisora::frmMain form(module, platform);
    brisora::SessionEvents session;
    brisora::connectLifecycle(app, form, session);
    QObject::connect(&handover, &brisora::HandoverChannel::knocked, &session,
                     &brisora::SessionEvents::handOverRequested);
    brisora::answerSessionManager(app, session);
#if defined(Q_OS_UNIX)
    brisora::SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&signalWatcher, &brisora::SignalWatcher::received, &session,
                     &brisora::SessionEvents::endRequested);
#endif

    form.Form_Load();
    if (form.showsAfterLoad())
        form.show();
    // The desktop is asked for its tray once the window is on its way; until the answer,
    // the window (or its task-bar button) stands in for the icon.
    QMetaObject::invokeMethod(&trayProbe, &brisora::TrayHostProbe::start, Qt::QueuedConnection);
    return app.exec();
}
