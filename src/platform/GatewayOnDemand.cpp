#include "GatewayOnDemand.h"

#include "BootClock.h"
#include "GatewayLauncher.h"

#include <QStringList>

namespace brisora {

GatewayOnDemand::GatewayOnDemand(GatewayLauncher& launcher, const BootClock& clock,
                                 int refusedError)
    : launcher_(launcher), clock_(clock), refusedError_(refusedError)
{
}

bool GatewayOnDemand::connectFailed(const QString& host, int error)
{
    if (error != refusedError_ || !isLoopback(host))
        return false;
    const std::chrono::milliseconds now = clock_.sinceBoot();
    if (lastStart_ && now - *lastStart_ < kPauseBetweenStarts)
        return false;
    lastStart_ = now;
    launcher_.start();
    return true;
}

bool GatewayOnDemand::isLoopback(const QString& host)
{
    // Qt Network's address class would do, but the widget links no Qt Network.
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
        host == QLatin1String("::1"))
        return true;
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4 || parts.front() != QLatin1String("127"))
        return false;
    for (const QString& part : parts) {
        bool number = false;
        if (part.isEmpty() || part.size() > 3 || part.toUInt(&number) > 255 || !number)
            return false;
    }
    return true;
}

} // namespace brisora
