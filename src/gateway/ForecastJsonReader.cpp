#include "ForecastJsonReader.h"

#include "LocalTimeFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace brisora::gateway {
namespace {

/// A finite number within [low, high], or nullopt (missing, null, text, out of range).
std::optional<double> numberIn(const QJsonValue& value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < low || number > high)
        return std::nullopt;
    return number;
}

std::optional<int> weatherCodeOf(const QJsonValue& value)
{
    const std::optional<double> number = numberIn(value, 0, 999);
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
            numberIn(highs.at(i), -temperatureLimit, temperatureLimit);
        const std::optional<double> low = numberIn(lows.at(i), -temperatureLimit, temperatureLimit);
        if (!date.isValid() || !high || !low)
            break;
        days.append(ForecastDay{date, *low, *high, weatherCodeOf(codes.at(i))});
    }
    return days;
}

std::optional<QDateTime> firstLocalTime(const QJsonObject& daily, QLatin1String key,
                                        const QTimeZone& zone)
{
    const QDateTime moment = parseLocalDateTime(daily.value(key).toArray().at(0).toString(), zone);
    if (!moment.isValid())
        return std::nullopt;
    return moment;
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
        numberIn(root.value(QLatin1String("utc_offset_seconds")), -18 * 3600, 18 * 3600)
            .value_or(0));
    const QTimeZone zone = placeZone(forecast.timeZone, forecast.utcOffsetSeconds);

    const QJsonObject current = root.value(QLatin1String("current")).toObject();
    CurrentConditions& now = forecast.current;
    now.observedAt = parseLocalDateTime(current.value(QLatin1String("time")).toString(), zone);
    const std::optional<double> temperature = numberIn(
        current.value(QLatin1String("temperature_2m")), -temperatureLimit, temperatureLimit);
    if (!now.observedAt.isValid() || !temperature)
        return failure(QStringLiteral("forecast lacks the current temperature or its time"));
    now.temperature = *temperature;
    now.apparentTemperature = numberIn(current.value(QLatin1String("apparent_temperature")),
                                       -temperatureLimit, temperatureLimit)
                                  .value_or(*temperature);
    now.humidity = numberIn(current.value(QLatin1String("relative_humidity_2m")), 0, 100);
    now.pressureHpa = numberIn(current.value(QLatin1String("pressure_msl")), 300, 1200);
    if (!now.pressureHpa)
        now.pressureHpa = numberIn(current.value(QLatin1String("surface_pressure")), 300, 1200);
    now.visibilityMetres = numberIn(current.value(QLatin1String("visibility")), 0, 1e7);
    now.windSpeed =
        numberIn(current.value(QLatin1String("wind_speed_10m")), 0, windLimit).value_or(0);
    now.windDirection = numberIn(current.value(QLatin1String("wind_direction_10m")), 0, 360);
    now.weatherCode = weatherCodeOf(current.value(QLatin1String("weather_code")));

    const QJsonObject daily = root.value(QLatin1String("daily")).toObject();
    forecast.days = readDays(daily);
    if (forecast.days.size() < 2)
        return failure(QStringLiteral("forecast has fewer than two complete days"));
    forecast.sunrise = firstLocalTime(daily, QLatin1String("sunrise"), zone);
    forecast.sunset = firstLocalTime(daily, QLatin1String("sunset"), zone);

    const QJsonValue isDay = current.value(QLatin1String("is_day"));
    if (isDay.isDouble()) {
        now.isDay = isDay.toDouble() != 0;
    } else if (forecast.sunrise && forecast.sunset) {
        now.isDay = now.observedAt >= *forecast.sunrise && now.observedAt < *forecast.sunset;
    }
    return ForecastReadResult{std::move(forecast), {}};
}

} // namespace brisora::gateway
