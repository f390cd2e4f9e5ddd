#pragma once
// Linux only.

#include "TrayHostProbe.h"
#include "posix/StatusNotifierHostWatch.h"
#include "x11/XTraySelectionWatch.h"

#include <QTimer>

#include <chrono>

namespace brisora {

/// TrayHostProbe for freedesktop desktops, which offer a status-notifier host on the
/// session bus, an XEmbed tray on X, both or neither. A host makes the kind a status-notifier
/// item at once. An XEmbed tray alone waits `hostGrace` for a host (a panel started at logon
/// may take its X selection before it registers its host), then makes the kind XEmbed.
/// With neither, it waits for whichever comes first, without limit. Once settled, the kind
/// stays, and availability follows that kind's own host.
class DesktopTrayProbe final : public TrayHostProbe
{
    Q_OBJECT
public:
    explicit DesktopTrayProbe(std::chrono::milliseconds hostGrace = std::chrono::seconds(10),
                              QObject* parent = nullptr);

    void start() override;
    bool available() const override;

    /// What the watchers report, one call for each change.
    void statusNotifierHostPresent(bool present);
    void xEmbedTrayPresent(bool present);

private:
    enum class Kind
    {
        Unsettled,
        StatusNotifier,
        XEmbed,
    };

    void settle();
    void graceEnded();

    StatusNotifierHostWatch hostWatch_;
    XTraySelectionWatch selectionWatch_;
    QTimer grace_;
    Kind kind_ = Kind::Unsettled;
    bool hostPresent_ = false;
    bool xEmbedPresent_ = false;
    bool reported_ = false;
};

} // namespace brisora
