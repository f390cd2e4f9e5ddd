#pragma once

#include "UpstreamGate.h"
#include "UpstreamReply.h"
#include "WeatherSource.h"

namespace brisora::gateway {

/// The forecast fetch a failed upstream `reply` comes to, its failure told by kind: no answer
/// is Unreachable, a time-out TimedOut, a 429 or a request the closed `gate` held back
/// RateLimited, a 403 Refused, a 5xx ServerError, another status Rejected, a reply too large
/// Unreadable. While `gate` is closed, the fetch says until when.
ForecastFetch failedFetch(const UpstreamReply& reply, const UpstreamGate& gate);

} // namespace brisora::gateway
