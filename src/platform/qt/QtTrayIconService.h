#pragma once

#include "TrayIconService.h"

#include <QSystemTrayIcon>

namespace brisora {

/// TrayIconService on QSystemTrayIcon. It also watches for a notification area that
/// appears or goes away after start-up.
class QtTrayIconService final : public TrayIconService
{
    Q_OBJECT
public:
    explicit QtTrayIconService(QObject* parent = nullptr);

    bool isAvailable() const override;
    void Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record) override;

    /// The tip as handed to the tray host, already cut: shown as exactly these characters,
    /// never read as markup, by a tooltip-drawing tray and a status-notifier host alike.
    static QString literalTip(const QString& tip);

private:
    void checkAvailability();

    QSystemTrayIcon icon_;
    bool added_ = false;
    bool lastAvailable_ = false;
};

} // namespace brisora
