#include "DesktopTrayProbe.h"

namespace brisora {

DesktopTrayProbe::DesktopTrayProbe(std::chrono::milliseconds hostGrace, QObject* parent)
    : TrayHostProbe(parent)
{
    grace_.setSingleShot(true);
    grace_.setInterval(hostGrace);
    connect(&grace_, &QTimer::timeout, this, &DesktopTrayProbe::graceEnded);
    connect(&hostWatch_, &StatusNotifierHostWatch::hostChanged, this,
            &DesktopTrayProbe::statusNotifierHostPresent);
    connect(&selectionWatch_, &XTraySelectionWatch::ownerChanged, this,
            &DesktopTrayProbe::xEmbedTrayPresent);
}

void DesktopTrayProbe::start()
{
    // Without a session bus no host can come: an XEmbed tray needs no grace then.
    if (!hostWatch_.start())
        grace_.setInterval(0);
    selectionWatch_.start();
}

bool DesktopTrayProbe::available() const
{
    switch (kind_) {
    case Kind::StatusNotifier:
        return hostPresent_;
    case Kind::XEmbed:
        return xEmbedPresent_;
    case Kind::Unsettled:
        break;
    }
    return false;
}

void DesktopTrayProbe::statusNotifierHostPresent(bool present)
{
    hostPresent_ = present;
    settle();
}

void DesktopTrayProbe::xEmbedTrayPresent(bool present)
{
    xEmbedPresent_ = present;
    settle();
}

void DesktopTrayProbe::settle()
{
    if (kind_ == Kind::Unsettled) {
        if (hostPresent_) {
            grace_.stop();
            kind_ = Kind::StatusNotifier;
        } else if (!xEmbedPresent_) {
            grace_.stop();
        } else if (!grace_.isActive()) {
            grace_.start();
        }
    }
    const bool now = available();
    if (now == reported_)
        return;
    reported_ = now;
    emit availabilityChanged(now);
}

void DesktopTrayProbe::graceEnded()
{
    if (kind_ == Kind::Unsettled && xEmbedPresent_)
        kind_ = Kind::XEmbed;
    settle();
}

} // namespace brisora
