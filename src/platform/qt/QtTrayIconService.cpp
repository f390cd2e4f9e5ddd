#include "QtTrayIconService.h"

#include "TrayHostProbe.h"

#include <QMenu>

namespace brisora {

QtTrayIconService::QtTrayIconService(TrayHostProbe& probe, QObject* parent)
    : TrayIconService(parent), probe_(probe)
{
    connect(&probe_, &TrayHostProbe::availabilityChanged, this, &QtTrayIconService::probeReported);
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
    return icon_ != nullptr && probe_.available();
}

void QtTrayIconService::Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record)
{
    switch (operation) {
    case TrayOperation::Add:
        added_ = true;
        record_ = record;
        showRecord();
        break;
    case TrayOperation::Modify:
        if (!added_)
            return;
        record_ = record;
        showRecord();
        break;
    case TrayOperation::Delete:
        added_ = false;
        if (icon_)
            icon_->hide();
        break;
    }
}

void QtTrayIconService::setContextMenu(QMenu& menu)
{
    menu_ = &menu;
    if (icon_)
        icon_->setContextMenu(&menu);
}

void QtTrayIconService::probeReported(bool available)
{
    if (available && !icon_)
        makeIcon();
    if (icon_)
        emit availabilityChanged(available);
}

void QtTrayIconService::makeIcon()
{
    // The first QSystemTrayIcon settles Qt's kind of tray for the whole run: it is made
    // only now that the probe has settled the same.
    icon_ = new QSystemTrayIcon(this);
    // Qt opens the menu itself on a right-button press over an XEmbed icon and hands it
    // to a status-notifier host as the item's own menu, its items' state kept in step.
    if (menu_)
        icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click also delivers its first click as Trigger; the double
                // click itself adds nothing.
                if (reason == QSystemTrayIcon::Trigger)
                    emit leftButtonReleased();
            });
    showRecord();
}

void QtTrayIconService::showRecord()
{
    if (!icon_ || !added_)
        return;
    icon_->setIcon(record_.hIcon);
    icon_->setToolTip(literalTip(record_.szTip));
    icon_->show();
}

} // namespace brisora
