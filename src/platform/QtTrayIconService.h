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

private:
    void checkAvailability();

    QSystemTrayIcon icon_;
    bool added_ = false;
    bool lastAvailable_ = false;
};

} // namespace brisora
