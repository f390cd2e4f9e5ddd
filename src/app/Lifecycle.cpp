#include "Lifecycle.h"

#include "SessionEvents.h"
#include "frmMain.h"

#include <QCoreApplication>

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

} // namespace brisora
