#pragma once

#include "Forecast.h"
#include "Place.h"
#include "ZoneDatabase.h"

#include <QDateTime>

namespace brisora::gateway {

/// Made-up but plausible weather for `place` at `now`, in `units`: temperatures follow the
/// latitude, the season (mirrored south of the equator) and the hour; conditions, wind and
/// the day-to-day swing come from a hash of the place and the date, so the same place, hour
/// and units always give the same forecast. Sunrise and sunset follow the sun's declination.
/// Times are the place's own in `zones`. The result is marked as demo data and built at `now`.
Forecast demoForecast(const Place& place, Units units, const QDateTime& now,
                      const ZoneDatabase& zones);

} // namespace brisora::gateway
