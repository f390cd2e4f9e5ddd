#pragma once
// Linux only (the session bus).

#include <QObject>

namespace brisora {

/// Watches the session bus for a status-notifier host: the watcher service's
/// IsStatusNotifierHostRegistered, read when the service appears and again when it
/// reports a host come or gone. Asks nothing of Qt's own tray.
class StatusNotifierHostWatch final : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Starts watching and returns at once. False when there is no session bus, so no host
    /// can ever come; it then never reports.
    bool start();

signals:
    /// What the watcher last said; false too while there is no watcher.
    void hostChanged(bool registered);

private slots:
    // Connected by name: QtDBus ties bus signals only to slots named so.
    void askWhetherHostRegistered();
};

} // namespace brisora
