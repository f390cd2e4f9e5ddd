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
    // A notification area that appears or goes away sends nothing to wait on: a slow poll
    // notices either.
    auto* poll = new QTimer(this);
    poll->setTimerType(Qt::VeryCoarseTimer);
    connect(poll, &QTimer::timeout, this, &QtTrayIconService::checkAvailability);
    poll->start(5000);
}

QString QtTrayIconService::literalTip(const QString& tip)
{
    // A tray drawn by the toolkit's tooltip shows a text that looks like markup as markup;
    // a status-notifier host takes the tip as plain text. A word joiner (zero width,
    // invisible on both) after each '<' and '&' leaves nothing that looks like a tag or an
    // entity, so both show the very characters of the tip.
    constexpr QChar kWordJoiner(u'\u2060');
    QString shown;
    shown.reserve(tip.size());
    for (const QChar c : tip) {
        shown.append(c);
        if (c == QLatin1Char('<') || c == QLatin1Char('&'))
            shown.append(kWordJoiner);
    }
    return shown;
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
        icon_.setToolTip(literalTip(record.szTip));
        icon_.show();
        added_ = true;
        break;
    case TrayOperation::Modify:
        if (!added_)
            return;
        icon_.setIcon(record.hIcon);
        icon_.setToolTip(literalTip(record.szTip));
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
