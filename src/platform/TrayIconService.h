#pragma once

#include "TrayIconRecord.h"

#include <QObject>

namespace brisora {

/// The notification-area icon: one icon with a tooltip, reporting a left-button release
/// and a right-button press on it.
class TrayIconService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// True while the desktop has a notification area that can show the icon.
    virtual bool isAvailable() const = 0;
    /// Adds, changes or removes the icon. Modify or Delete of an icon that is not there
    /// does nothing; results are not reported.
    virtual void Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record) = 0;

signals:
    void leftButtonReleased();
    void rightButtonPressed();
    /// A notification area appeared or went away.
    void availabilityChanged(bool available);
};

} // namespace brisora
