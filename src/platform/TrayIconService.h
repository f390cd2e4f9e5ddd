#pragma once

#include "TrayIconRecord.h"

#include <QObject>

class QMenu;

namespace brisora {

/// The notification-area icon: one icon with a tooltip and the program's popup menu,
/// reporting a left-button release on it.
class TrayIconService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// True while the desktop has a notification area that shows the icon.
    virtual bool isAvailable() const = 0;
    /// Adds, changes or removes the icon. Modify or Delete of an icon that is not there
    /// does nothing; results are not reported.
    virtual void Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record) = 0;
    /// The menu that a right-button press on the icon opens, shown as it stands at that
    /// moment (a status-notifier host is handed it to show as its own). Set once.
    virtual void setContextMenu(QMenu& menu) = 0;

signals:
    void leftButtonReleased();
    /// A notification area appeared or went away.
    void availabilityChanged(bool available);
};

} // namespace brisora
