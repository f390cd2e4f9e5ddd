#pragma once

#include <QDate>
#include <QDateTime>
#include <optional>

namespace brisora::gateway {

/// Sunrise and sunset of one day at one place, by NOAA's solar position formulas (the sun's
/// disc centre 0.833 degrees below the horizon, for refraction and the disc's radius).
struct SolarEvents
{
    std::optional<QDateTime> sunrise; // UTC; neither on a day the sun stays up or down
    std::optional<QDateTime> sunset;
    bool sunStaysUp = false; // polar day (only with neither event)
};

/// The events around the solar noon nearest `localNoon` (the moment of 12:00 on the day's
/// clocks), at `latitude` and `longitude` in degrees, east positive.
SolarEvents solarEventsAround(const QDateTime& localNoon, double latitude, double longitude);

/// How high the sun's disc centre stands at `moment`, in degrees above the horizon, without
/// refraction.
double solarElevation(const QDateTime& moment, double latitude, double longitude);

/// The elevation below which the day's light is gone: sunrise and sunset are at it.
inline constexpr double horizonElevation = -0.833;

} // namespace brisora::gateway
