#include "ForecastJsonReader.h"

#include "JsonNumber.h"

#include "LocalTimeFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace brisora::gateway {
namespace {

std::optional<int> weatherCodeOf(const QJsonValue& value)
{
    const std::optional<double> number = jsonNumberIn(value, 0, 999);
    if (!number || *number != std::floor(*number))
        return std::nullopt;
    return static_cast<int>(*number);
}

// Wide enough for both scales and every place on Earth, narrow enough to round safely.
constexpr double temperatureLimit = 200;
constexpr double windLimit = 1000;

ForecastReadResult failure(QString why)
{
    return ForecastReadResult{std::nullopt, std::move(why)};
}

QList<ForecastDay> readDays(const QJsonObject& daily)
{
    const QJsonArray dates = daily.value(QLatin1String("time")).toArray();
    const QJsonArray codes = daily.value(QLatin1String("weather_code")).toArray();
    const QJsonArray highs = daily.value(QLatin1String("temperature_2m_max")).toArray();
    const QJsonArray lows = daily.value(QLatin1String("temperature_2m_min")).toArray();
    QList<ForecastDay> days;
    for (qsizetype i = 0; i < dates.size() && days.size() < feedForecastDays; ++i) {
        const QDate date = QDate::fromString(dates.at(i).toString(), Qt::ISODate);
        const std::optional<double> high =
            jsonNumberIn(highs.at(i), -temperatureLimit, temperatureLimit);
        const std::optional<double> low =
            jsonNumberIn(lows.at(i), -temperatureLimit, temperatureLimit);
        if (!date.isValid() || !high || !low)
            break;
        days.append(ForecastDay{date, *low, *high, weatherCodeOf(codes.at(i)), {}});
    }
    return days;
}

/// The first day's sunrise and sunset. The source writes local midnight for both on a day
/// the sun never rises, and midnight and the next midnight on one it never sets: such a day
/// has neither, and says whether it is all day or all night.
struct SunTimes
{
    std::optional<QDateTime> sunrise;
    std::optional<QDateTime> sunset;
    std::optional<bool> allDay; // set on a day without sunrise or sunset
};

SunTimes readSunTimes(const QJsonObject& daily, int utcOffsetSeconds)
{
    const auto first = [&daily, utcOffsetSeconds](QLatin1String key) -> std::optional<QDateTime> {
        const QDateTime moment =
            parseOffsetDateTime(daily.value(key).toArray().at(0).toString(), utcOffsetSeconds);
        if (!moment.isValid())
            return std::nullopt;
        return moment;
    };
    SunTimes sun{first(QLatin1String("sunrise")), first(QLatin1String("sunset")), std::nullopt};
    if (!sun.sunrise || !sun.sunset)
        return sun;
    const auto atMidnight = [utcOffsetSeconds](const QDateTime& moment) {
        return moment.addSecs(utcOffsetSeconds).time() == QTime(0, 0);
    };
    if (atMidnight(*sun.sunrise) && atMidnight(*sun.sunset) && *sun.sunset >= *sun.sunrise)
        return SunTimes{std::nullopt, std::nullopt, *sun.sunset > *sun.sunrise};
    return sun;
}

} // namespace

ForecastReadResult readForecastJson(QByteArrayView json, const QDateTime& builtAt)
{
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(QStringLiteral("malformed JSON: ") + parseError.errorString());
    if (!document.isObject())
        return failure(QStringLiteral("forecast is not a JSON object"));
    const QJsonObject root = document.object();

    Forecast forecast;
    forecast.builtAt = builtAt;
    forecast.timeZone = root.value(QLatin1String("timezone")).toString();
    forecast.utcOffsetSeconds = static_cast<int>(
        jsonNumberIn(root.value(QLatin1String("utc_offset_seconds")), -18 * 3600, 18 * 3600)
            .value_or(0));

    const QJsonObject current = root.value(QLatin1String("current")).toObject();
    CurrentConditions& now = forecast.current;
    now.observedAt = parseOffsetDateTime(current.value(QLatin1String("time")).toString(),
                                         forecast.utcOffsetSeconds);
    const std::optional<double> temperature = jsonNumberIn(
        current.value(QLatin1String("temperature_2m")), -temperatureLimit, temperatureLimit);
    if (!now.observedAt.isValid() || !temperature)
        return failure(QStringLiteral("forecast lacks the current temperature or its time"));
    now.temperature = *temperature;
    now.apparentTemperature = jsonNumberIn(current.value(QLatin1String("apparent_temperature")),
                                           -temperatureLimit, temperatureLimit)
                                  .value_or(*temperature);
    now.humidity = jsonNumberIn(current.value(QLatin1String("relative_humidity_2m")), 0, 100);
    now.pressureHpa = jsonNumberIn(current.value(QLatin1String("pressure_msl")), 300, 1200);
    now.visibilityMetres = jsonNumberIn(current.value(QLatin1String("visibility")), 0, 1e7);
    now.windSpeed =
        jsonNumberIn(current.value(QLatin1String("wind_speed_10m")), 0, windLimit).value_or(0);
    now.windDirection = jsonNumberIn(current.value(QLatin1String("wind_direction_10m")), 0, 360);
    now.weatherCode = weatherCodeOf(current.value(QLatin1String("weather_code")));

    const QJsonObject daily = root.value(QLatin1String("daily")).toObject();
    forecast.days = readDays(daily);
    if (forecast.days.size() < 2)
        return failure(QStringLiteral("forecast has fewer than two complete days"));
    const SunTimes sun = readSunTimes(daily, forecast.utcOffsetSeconds);
    forecast.sunrise = sun.sunrise;
    forecast.sunset = sun.sunset;
    if (sun.allDay)
        now.isDay = *sun.allDay;
    else if (sun.sunrise && sun.sunset)
        now.isDay = now.observedAt >= *sun.sunrise && now.observedAt < *sun.sunset;
    return ForecastReadResult{std::move(forecast), {}};
}

} // namespace brisora::gateway
