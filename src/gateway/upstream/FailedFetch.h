#pragma once

#include "UpstreamGate.h"
#include "UpstreamReply.h"
#include "WeatherSource.h"

namespace brisora::gateway {

/// The forecast fetch a failed upstream `reply` comes to, its failure told by kind: a 429 or a
/// request the closed `gate` held back is RateLimited, until the gate opens again; another
/// 4xx is Rejected; anything else (no answer, a time-out, a 5xx, a reply too large) is
/// Unavailable.
ForecastFetch failedFetch(const UpstreamReply& reply, const UpstreamGate& gate);

} // namespace brisora::gateway
