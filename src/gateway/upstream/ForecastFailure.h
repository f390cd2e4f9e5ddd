#pragma once

#include "UpstreamReply.h"
#include "WeatherSource.h"

namespace brisora::gateway {

/// The kind of failure an upstream reply is to a forecast fetch; None for Ok and NotModified.
ForecastFetch::Failure forecastFailureOf(const UpstreamReply& reply);

} // namespace brisora::gateway
