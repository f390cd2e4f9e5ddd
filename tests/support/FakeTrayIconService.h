#pragma once

#include "TrayIconService.h"

#include <QList>

namespace brisora::test {

/// Records every tray call and the menu it was given; the test says whether a notification
/// area exists and clicks the icon with clickLeft.
class FakeTrayIconService final : public TrayIconService
{
    Q_OBJECT
public:
    using TrayIconService::TrayIconService;

    bool isAvailable() const override { return available; }
    void Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record) override;
    void setContextMenu(QMenu& menu) override { contextMenu = &menu; }

    void clickLeft() { emit leftButtonReleased(); }
    void setAvailable(bool now);

    struct Call
    {
        TrayOperation operation;
        QString tip;
        QIcon icon;
    };
    bool available = true;
    bool iconShown = false;
    QMenu* contextMenu = nullptr;
    QString shownTip;
    QList<Call> calls;
};

} // namespace brisora::test
