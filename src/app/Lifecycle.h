#pragma once

class QCoreApplication;
class QGuiApplication;

namespace brisora {

class frmMain;
class SessionEvents;

/// Ties the main window to the program's life: an end request unloads it as Exit does; a
/// save request writes the settings file and the program runs on; a hand-over request
/// brings it forward; the event loop quitting for any other reason unloads it; and its
/// unload ends the loop.
void connectLifecycle(QCoreApplication& app, frmMain& form, SessionEvents& session);

/// Answers every request of the desktop's session manager (a commit of data, a save of
/// state) with the restart hint "never": the widget's own start-at-logon entry is the one
/// way it starts with a session, so a saved session must not start it a second time. A
/// commit request also asks for the settings to be saved (saveRequested).
void answerSessionManager(QGuiApplication& app, SessionEvents& session);

} // namespace brisora
