#pragma once

#include "ForecastJsonReader.h"
#include "MetNorwayJsonReader.h"
#include "PastHour.h"
#include "Place.h"
#include "ZoneRules.h"

#include <QDateTime>
#include <QList>

namespace brisora::gateway {

/// The feed's forecast from MET Norway's series for `place`, whose clocks `zone` keeps, at
/// `now`, built (fetched or confirmed) at `builtAt`, in `units`:
/// - now: the step that holds `now` (the last one at or before it; the first when `now` is
///   within the hour before it), which must have a temperature and a step after it. Its
///   condition is the next hour's symbol, else the next six hours'; day or night by the
///   symbol's variant (polar twilight counts as night: the sun stays below the horizon), or
///   for a symbol without one by the sun's height. No visibility. "Feels" is MET's rule: wind
///   chill below 10 degrees C with wind over 1.33 m/s, heat index above 26 degrees C with
///   humidity over 40 %, else the air temperature.
/// - today and tomorrow by `zone`'s calendar: high and low over the steps in the day and the
///   `pastHours` before the first step; the look is the most significant of the six-hour
///   symbols of the periods starting from 06:00 to before 14:00 (thunder first, then snow,
///   sleet and rain, heavier before lighter, steady before showers, then fog, cloud, partly
///   cloudy, fair, clear), or when none is left, of all the day's symbols. The series must
///   reach 18:00 tomorrow.
/// - sunrise and sunset of today, computed; neither on a polar day or night.
/// Never throws; a series that cannot give all this gives an error text.
ForecastReadResult buildMetNorwayForecast(const QList<MetNorwayStep>& steps,
                                          const QList<PastHour>& pastHours, const Place& place,
                                          const ZoneRules& zone, const QDateTime& now,
                                          const QDateTime& builtAt, Units units);

/// The hours to keep when a copy whose series begins at `newStart` replaces `older`: those of
/// `older` before `newStart` with a temperature, and of `kept` the ones before any of those,
/// none earlier than `keepFrom`, in time order.
QList<PastHour> pastHoursBefore(const QList<MetNorwayStep>& older, const QList<PastHour>& kept,
                                const QDateTime& newStart, const QDateTime& keepFrom);

/// The temperature a person feels, by MET Norway's rule above, in degrees C.
double feltTemperature(double celsius, double windSpeedMs, std::optional<double> humidity);

} // namespace brisora::gateway
