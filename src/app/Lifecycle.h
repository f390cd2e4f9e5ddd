#pragma once

class QCoreApplication;

namespace brisora {

class frmMain;
class SessionEvents;

/// Ties the main window to the program's life: an end request unloads it as Exit does; a
/// save request writes the settings file and the program runs on; a hand-over request
/// brings it forward; the event loop quitting for any other reason unloads it; and its
/// unload ends the loop.
void connectLifecycle(QCoreApplication& app, frmMain& form, SessionEvents& session);

} // namespace brisora
