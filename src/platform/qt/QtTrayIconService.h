#pragma once

#include "TrayIconService.h"

#include <QPointer>
#include <QSystemTrayIcon>

namespace brisora {

class TrayHostProbe;

/// TrayIconService on QSystemTrayIcon. The icon is made only once `probe` has settled the
/// kind of tray; what is asked of it before is kept and shown then. Later, the probe tells
/// when the notification area appears or goes away.
class QtTrayIconService final : public TrayIconService
{
    Q_OBJECT
public:
    explicit QtTrayIconService(TrayHostProbe& probe, QObject* parent = nullptr);

    bool isAvailable() const override;
    void Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record) override;
    void setContextMenu(QMenu& menu) override;

    /// The tip as handed to the tray host, already cut: shown as exactly these characters,
    /// never read as markup, by a tooltip-drawing tray and a status-notifier host alike.
    static QString literalTip(const QString& tip);

private:
    void probeReported(bool available);
    void makeIcon();
    void showRecord();

    TrayHostProbe& probe_;
    QSystemTrayIcon* icon_ = nullptr; ///< a child, made once the kind is settled
    QPointer<QMenu> menu_;
    TrayIconRecord record_;
    bool added_ = false;
};

} // namespace brisora
