#include "FakeTrayIconService.h"

namespace brisora::test {

void FakeTrayIconService::Shell_NotifyIcon(TrayOperation operation, const TrayIconRecord& record)
{
    calls.append({operation, record.szTip, record.hIcon});
    switch (operation) {
    case TrayOperation::Add:
        iconShown = true;
        shownTip = record.szTip;
        break;
    case TrayOperation::Modify:
        if (iconShown)
            shownTip = record.szTip;
        break;
    case TrayOperation::Delete:
        iconShown = false;
        break;
    }
}

void FakeTrayIconService::setAvailable(bool now)
{
    available = now;
    emit availabilityChanged(now);
}

} // namespace brisora::test
