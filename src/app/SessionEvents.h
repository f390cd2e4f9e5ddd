#pragma once

#include <QObject>

namespace brisora {

/// What the desktop session and the system ask of the running program, gathered where the
/// program's life is wired (the real sources in main, a test's own emits elsewhere).
class SessionEvents final : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    /// The session saves its state; it may end later, or go on.
    void saveRequested();
    /// The program is to end now (a termination signal).
    void endRequested();
    /// A later start of the program asks this one to come forward.
    void handOverRequested();
};

} // namespace brisora
