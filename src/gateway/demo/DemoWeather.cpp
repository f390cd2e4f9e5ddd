#include "DemoWeather.h"

#include "LocalTimeFormat.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace brisora::gateway {
namespace {

/// FNV-1a, so the demo weather is the same on every machine and every run.
quint32 stableHash(const QString& placeId, QDate date, quint32 salt)
{
    const QByteArray key = placeId.toUtf8() + '/' + date.toString(Qt::ISODate).toLatin1() + '/' +
                           QByteArray::number(salt);
    quint32 hash = 2166136261u;
    for (char c : key) {
        hash ^= static_cast<quint8>(c);
        hash *= 16777619u;
    }
    return hash;
}

/// A value in [low, high] drawn from the hash.
double spread(quint32 hash, double low, double high)
{
    return low + (high - low) * static_cast<double>(hash % 10001) / 10000.0;
}

/// Mean air temperature (°C) of the day at this latitude and season.
double seasonalMean(double latitude, QDate date)
{
    const double absLatitude = std::fabs(latitude);
    const double annualMean = 28.0 - 0.42 * absLatitude;
    const double amplitude = 0.22 * absLatitude;
    // Warmest around 20 July in the north, 20 January in the south.
    const double phase = 2 * std::numbers::pi * (date.dayOfYear() - 201) / 365.25;
    const double season = std::cos(phase) * (latitude >= 0 ? 1 : -1);
    return annualMean + amplitude * season;
}

int conditionFor(quint32 hash, double meanCelsius)
{
    static constexpr std::array<int, 12> mild{0, 0, 1, 1, 2, 2, 3, 45, 61, 63, 80, 95};
    static constexpr std::array<int, 12> cold{0, 1, 2, 3, 3, 45, 71, 73, 75, 85, 77, 2};
    const auto& table = meanCelsius < 1 ? cold : mild;
    return table[hash % table.size()];
}

/// Sunrise or sunset (hours of local standard time) by the sun's declination.
double sunHour(double latitude, double longitude, QDate date, int utcOffsetSeconds, bool rise)
{
    const double declination =
        23.44 * std::sin(2 * std::numbers::pi * (284 + date.dayOfYear()) / 365.0);
    const double toRadians = std::numbers::pi / 180;
    const double cosine = -std::tan(latitude * toRadians) * std::tan(declination * toRadians);
    const double hourAngle = std::acos(std::clamp(cosine, -1.0, 1.0)) / toRadians;
    const double solarNoon = 12.0 + utcOffsetSeconds / 3600.0 - longitude / 15.0;
    return solarNoon + (rise ? -hourAngle : hourAngle) / 15.0;
}

QDateTime atHour(QDate date, double hour, const ZoneRules& zone)
{
    const int minutes = std::clamp(static_cast<int>(std::lround(hour * 60)), 0, 24 * 60 - 1);
    return momentOf(date, QTime(minutes / 60, minutes % 60), zone);
}

double inUnits(double celsius, Units units)
{
    return units == Units::Metric ? celsius : celsius * 9 / 5 + 32;
}

} // namespace

Forecast demoForecast(const Place& place, Units units, const QDateTime& now,
                      const ZoneDatabase& zones)
{
    const std::shared_ptr<const ZoneRules> rules = placeZone(zones, place.timeZone, 0);
    const ZoneRules& zone = *rules;
    const QDateTime local = wallClock(now, zone);
    const QDate today = local.date();
    const int offset = zone.at(now.toSecsSinceEpoch()).utcOffset;

    Forecast forecast;
    forecast.builtAt = now;
    forecast.timeZone = place.timeZone;
    forecast.utcOffsetSeconds = offset;
    forecast.isDemo = true;

    for (int day = 0; day < 5; ++day) {
        const QDate date = today.addDays(day);
        const double mean =
            seasonalMean(place.latitude, date) + spread(stableHash(place.placeId, date, 1), -4, 4);
        const double range = spread(stableHash(place.placeId, date, 2), 4, 11);
        forecast.days.append(ForecastDay{date,
                                         inUnits(mean - range / 2, units),
                                         inUnits(mean + range / 2, units),
                                         conditionFor(stableHash(place.placeId, date, 3), mean),
                                         {}});
    }

    const double sunriseHour = sunHour(place.latitude, place.longitude, today, offset, true);
    const double sunsetHour = sunHour(place.latitude, place.longitude, today, offset, false);
    forecast.sunrise = atHour(today, sunriseHour, zone);
    forecast.sunset = atHour(today, sunsetHour, zone);

    CurrentConditions& current = forecast.current;
    current.observedAt = momentOf(today, QTime(local.time().hour(), 0), zone);
    const double hour = local.time().hour();
    const double meanToday =
        seasonalMean(place.latitude, today) + spread(stableHash(place.placeId, today, 1), -4, 4);
    const double rangeToday = spread(stableHash(place.placeId, today, 2), 4, 11);
    // Coolest near dawn, warmest mid-afternoon.
    const double celsius =
        meanToday + rangeToday / 2 * std::cos(2 * std::numbers::pi * (hour - 15) / 24);
    const quint32 hourHash = stableHash(place.placeId, today, 100 + local.time().hour());
    const double windKmh = spread(hourHash, 3, 32);
    current.temperature = inUnits(celsius, units);
    current.apparentTemperature = inUnits(celsius - windKmh / 12, units);
    current.windSpeed = units == Units::Metric ? windKmh : windKmh / 1.609344;
    current.windDirection = static_cast<double>((hourHash >> 8) % 360);
    current.humidity = spread(hourHash >> 4, 35, 95);
    current.pressureHpa = spread(hourHash >> 12, 995, 1032);
    current.weatherCode = forecast.days.first().weatherCode;
    current.visibilityMetres =
        current.weatherCode == 45 ? 400.0 : spread(hourHash >> 6, 9000, 24000);
    current.isDay = hour + 0.5 >= sunriseHour && hour + 0.5 < sunsetHour;
    return forecast;
}

} // namespace brisora::gateway
