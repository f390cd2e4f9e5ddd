#include "app/Module1.h"
#include "app/SignalWatcher.h"
#include "platform/FileSettingsStorage.h"
#include "platform/PlatformServices.h"
#include "platform/QtScreenMetrics.h"
#include "platform/QtTrayIconService.h"
#include "platform/XdgAutostartEntry.h"
#include "ui/Fonts.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QThreadPool>

#if defined(Q_OS_LINUX)
#include "platform/PosixTcpClient.h"
using SystemTcpClient = brisora::PosixTcpClient;
#else
#include "platform/QtTcpClient.h"
using SystemTcpClient = brisora::QtTcpClient;
#endif

#include <csignal>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Hiding the widget to the tray closes no program; only Exit (or a signal) does.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("brisora"));
    // Lets task bars and docks match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brisora.Brisora"));
    // Drawing the pictures wakes Qt's worker threads; let them go soon after instead of
    // idling for half a minute in a widget that should sleep between its minute ticks.
    QThreadPool::globalInstance()->setExpiryTimeout(1000);
    brisora::installFontSubstitutions();

    brisora::QtTrayIconService tray;
    brisora::FileSettingsStorage settingsStorage(QCoreApplication::applicationDirPath());
    brisora::QtScreenMetrics screen;
    brisora::XdgAutostartEntry startAtLogon;
    brisora::PlatformServices platform{
        [] { return std::make_unique<SystemTcpClient>(); },
        tray,
        settingsStorage,
        screen,
        startAtLogon,
        QCoreApplication::applicationFilePath(),
    };

    brisora::Module1 module;
    brisora::frmMain form(module, platform);
    QObject::connect(&form, &brisora::frmMain::unloadedForGood, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    brisora::SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&signalWatcher, &brisora::SignalWatcher::received, &form,
                     &brisora::frmMain::mnuExit_Click);
    // The desktop session ending (or anything else that quits the loop) unloads as Exit does.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     &brisora::frmMain::mnuExit_Click);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, &brisora::frmMain::Form_Unload);

    form.Form_Load();
    if (form.showsAfterLoad())
        form.show();
    return app.exec();
}
