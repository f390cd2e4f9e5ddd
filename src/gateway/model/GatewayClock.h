#pragma once

#include <QDateTime>
#include <functional>

namespace brisora::gateway {

/// The gateway's notion of "now"; tests pass a fixed or hand-driven one.
using GatewayClock = std::function<QDateTime()>;

/// The system clock, in UTC.
inline GatewayClock systemClock()
{
    return [] { return QDateTime::currentDateTimeUtc(); };
}

} // namespace brisora::gateway
