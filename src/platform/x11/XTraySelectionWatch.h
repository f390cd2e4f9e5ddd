#pragma once
// Linux only (X11 through xcb with XFixes).

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

struct xcb_connection_t;

namespace brisora {

/// Watches the X selection that an XEmbed tray owns (_NET_SYSTEM_TRAY_S<screen>) on the
/// program's own X connection: XFixes reports every change of its owner, so nothing
/// polls. Off X (a native Wayland session) there is no such tray and it never reports.
class XTraySelectionWatch final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Starts watching; reports an owner already there at once.
    void start();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void ownerChanged(bool owned);

private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t selection_ = 0;
    std::uint8_t notifyEventType_ = 0;
};

} // namespace brisora
