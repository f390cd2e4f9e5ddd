#include "QtTrayIconService.h"

#include <QTimer>

namespace brisora {

QtTrayIconService::QtTrayIconService(QObject* parent)
    : TrayIconService(parent), lastAvailable_(QSystemTrayIcon::isSystemTrayAvailable())
{
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click also delivers its first click as Trigger; the double
                // click itself adds nothing.
                if (reason == QSystemTrayIcon::Trigger)
                    emit leftButtonReleased();
                else if (reason == QSystemTrayIcon::Context)
                    emit rightButtonPressed();
            });
    if (!lastAvailable_) {
        // Without a notification area there is nothing to wait on but a slow poll; it stops
        // as soon as one appears.
        auto* poll = new QTimer(this);
        poll->setTimerType(Qt::VeryCoarseTimer);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            checkAvailability();
            if (lastAvailable_)
                poll->stop();
        });
        poll->start(5000);
    }
}

bool QtTrayIconService::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIconService::Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record)
{
    switch (operation) {
    case TrayOperation::Add:
        icon_.setIcon(record.hIcon);
        icon_.setToolTip(record.szTip);
        icon_.show();
        added_ = true;
        break;
    case TrayOperation::Modify:
        if (!added_)
            return;
        icon_.setIcon(record.hIcon);
        icon_.setToolTip(record.szTip);
        break;
    case TrayOperation::Delete:
        icon_.hide();
        added_ = false;
        break;
    }
}

void QtTrayIconService::checkAvailability()
{
    const bool now = isAvailable();
    if (now == lastAvailable_)
        return;
    lastAvailable_ = now;
    emit availabilityChanged(now);
}

} // namespace brisora
