#include "Lifecycle.h"

#include "SessionEvents.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

namespace brisora {

void connectLifecycle(QCoreApplication& app, frmMain& form, SessionEvents& session)
{
    QObject::connect(&form, &frmMain::unloadedForGood, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&session, &SessionEvents::endRequested, &form, &frmMain::mnuExit_Click);
    // A desktop may save its session without ending it: keep the settings, not quit.
    QObject::connect(&session, &SessionEvents::saveRequested, &form, &frmMain::saveForSession);
    QObject::connect(&session, &SessionEvents::handOverRequested, &form,
                     &frmMain::handOverFromSecondStart);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, &frmMain::Form_Unload);
}

void answerSessionManager(QGuiApplication& app, SessionEvents& session)
{
    // Qt sends the hint with its answer to each request, and lends the manager only for the
    // request's length: a desktop that asks only for a commit (a logout that saves no
    // session) must hear it as well as one that asks only for the state.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &session,
                     [&session](QSessionManager& manager) {
                         manager.setRestartHint(QSessionManager::RestartNever);
                         emit session.saveRequested();
                     });
    QObject::connect(
        &app, &QGuiApplication::saveStateRequest, &session,
        [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
}

} // namespace brisora
