#include "MetNorwayForecast.h"

#include "LocalTimeFormat.h"
#include "SolarEvents.h"

#include <cmath>

namespace brisora::gateway {
namespace {

using namespace Qt::StringLiterals;

constexpr double kilometresPerHourPerMs = 3.6;
constexpr double msPerMilePerHour = 0.44704;

double temperatureIn(double celsius, Units units)
{
    return units == Units::Metric ? celsius : celsius * 9 / 5 + 32;
}

double speedIn(double metresPerSecond, Units units)
{
    return units == Units::Metric ? metresPerSecond * kilometresPerHourPerMs
                                  : metresPerSecond / msPerMilePerHour;
}

constexpr QLatin1StringView variantSuffixes[] = {"_day"_L1, "_night"_L1, "_polartwilight"_L1};

QStringView baseOf(QStringView symbol)
{
    for (QLatin1StringView suffix : variantSuffixes) {
        if (symbol.endsWith(suffix))
            return symbol.chopped(suffix.size());
    }
    return symbol;
}

/// Day or night by the symbol's own variant; none for a symbol without one. In polar twilight
/// the sun stays below the horizon, so it is night, as the feed's sunrise and sunset (none)
/// and its night pictures (no sun drawn) agree.
std::optional<bool> daylightOfSymbol(QStringView symbol)
{
    if (symbol.endsWith("_day"_L1))
        return true;
    if (symbol.endsWith("_night"_L1) || symbol.endsWith("_polartwilight"_L1))
        return false;
    return std::nullopt;
}

/// How much a symbol says about a day: thunder first, then snow, sleet and rain, heavier
/// before lighter, steady falls before showers; then fog, cloud, partly cloudy, fair, clear.
/// -1 for a symbol MET does not write.
int significance(QStringView symbol)
{
    const QStringView base = baseOf(symbol);
    constexpr QLatin1StringView dry[] = {"clearsky"_L1, "fair"_L1, "partlycloudy"_L1, "cloudy"_L1,
                                         "fog"_L1};
    for (int rank = 0; rank < static_cast<int>(std::size(dry)); ++rank) {
        if (base == dry[rank])
            return rank;
    }
    const int kind = base.contains("snow"_L1)    ? 3
                     : base.contains("sleet"_L1) ? 2
                     : base.contains("rain"_L1)  ? 1
                                                 : 0;
    if (kind == 0)
        return -1;
    const int intensity = base.startsWith("light"_L1) ? 0 : base.startsWith("heavy"_L1) ? 2 : 1;
    const int steady = base.contains("showers"_L1) ? 0 : 1;
    return 10 + (base.contains("thunder"_L1) ? 100 : 0) + kind * 20 + intensity * 2 + steady;
}

/// The most significant of the symbols offered; the first of equals; empty when none is.
class MostSignificant
{
public:
    void offer(const QString& symbol)
    {
        if (symbol.isEmpty())
            return;
        if (const int rank = significance(symbol); m_symbol.isEmpty() || rank > m_rank) {
            m_symbol = symbol;
            m_rank = rank;
        }
    }
    const QString& symbol() const { return m_symbol; }

private:
    QString m_symbol;
    int m_rank = -1;
};

/// One day of the forecast, or nothing when the series has no temperature in it.
std::optional<ForecastDay> dayOf(QDate date, const QList<MetNorwayStep>& steps,
                                 const QList<PastHour>& pastHours, const ZoneRules& zone,
                                 Units units)
{
    const QDateTime start = momentOf(date, QTime(0, 0), zone);
    const QDateTime end = momentOf(date.addDays(1), QTime(0, 0), zone);
    const QDateTime daytimeFrom = momentOf(date, QTime(6, 0), zone);
    const QDateTime daytimeTo = momentOf(date, QTime(14, 0), zone);
    std::optional<double> low;
    std::optional<double> high;
    MostSignificant daytime;
    MostSignificant anyTime;
    const auto take = [&](const QDateTime& time, double temperature, const QString& sixHours) {
        low = std::min(low.value_or(temperature), temperature);
        high = std::max(high.value_or(temperature), temperature);
        if (time >= daytimeFrom && time < daytimeTo)
            daytime.offer(sixHours);
    };
    for (const PastHour& hour : pastHours) {
        if (hour.time >= start && hour.time < end && hour.time < steps.first().time)
            take(hour.time, hour.temperature, hour.symbol);
    }
    for (const MetNorwayStep& step : steps) {
        if (step.time < start || step.time >= end)
            continue;
        if (step.temperature)
            take(step.time, *step.temperature, step.nextSixHoursSymbol);
        else if (step.time >= daytimeFrom && step.time < daytimeTo)
            daytime.offer(step.nextSixHoursSymbol);
        anyTime.offer(step.nextHourSymbol.isEmpty() ? step.nextSixHoursSymbol
                                                    : step.nextHourSymbol);
    }
    if (!low || !high)
        return std::nullopt;
    ForecastDay day;
    day.date = date;
    day.low = temperatureIn(*low, units);
    day.high = temperatureIn(*high, units);
    day.metSymbol = daytime.symbol().isEmpty() ? anyTime.symbol() : daytime.symbol();
    return day;
}

/// The index of the step that holds `now`, or -1.
qsizetype stepHolding(const QList<MetNorwayStep>& steps, const QDateTime& now)
{
    qsizetype index = -1;
    for (qsizetype i = 0; i < steps.size() && steps.at(i).time <= now; ++i)
        index = i;
    if (index < 0 && steps.first().time.addSecs(-3600) <= now)
        index = 0;
    // The last step has nothing after it: whatever time it stands for has no end.
    return index == steps.size() - 1 ? -1 : index;
}

/// The NWS heat index (Rothfusz's regression, or the simpler formula where that gives under
/// 80 F). The adjustment for humidity under 13 % never applies here: it is used over 40 %.
double heatIndex(double celsius, double humidity)
{
    const double f = celsius * 9 / 5 + 32;
    double index = 0.5 * (f + 61 + (f - 68) * 1.2 + humidity * 0.094);
    if ((index + f) / 2 >= 80) {
        index = -42.379 + 2.04901523 * f + 10.14333127 * humidity - 0.22475541 * f * humidity -
                0.00683783 * f * f - 0.05481717 * humidity * humidity +
                0.00122874 * f * f * humidity + 0.00085282 * f * humidity * humidity -
                0.00000199 * f * f * humidity * humidity;
        if (humidity > 85 && f >= 80 && f <= 87)
            index += (humidity - 85) / 10 * (87 - f) / 5;
    }
    return (index - 32) * 5 / 9;
}

ForecastReadResult failure(QString why)
{
    return ForecastReadResult{std::nullopt, std::move(why)};
}

} // namespace

double feltTemperature(double celsius, double windSpeedMs, std::optional<double> humidity)
{
    if (celsius < 10 && windSpeedMs > 1.33) {
        // Environment Canada's and the NWS's wind chill, with the wind in km/h.
        const double wind = std::pow(windSpeedMs * kilometresPerHourPerMs, 0.16);
        return 13.12 + 0.6215 * celsius - 11.37 * wind + 0.3965 * celsius * wind;
    }
    if (celsius > 26 && humidity && *humidity > 40)
        return heatIndex(celsius, *humidity);
    return celsius;
}

ForecastReadResult buildMetNorwayForecast(const QList<MetNorwayStep>& steps,
                                          const QList<PastHour>& pastHours, const Place& place,
                                          const ZoneRules& zone, const QDateTime& now,
                                          const QDateTime& builtAt, Units units)
{
    if (steps.isEmpty())
        return failure(QStringLiteral("forecast has no time series"));
    const qsizetype index = stepHolding(steps, now);
    if (index < 0)
        return failure(QStringLiteral("no step of the forecast holds the current time"));
    const MetNorwayStep& step = steps.at(index);
    if (!step.temperature)
        return failure(QStringLiteral("forecast lacks the current temperature"));
    const QDate today = wallClock(now, zone).date();
    const QDate tomorrow = today.addDays(1);
    if (steps.last().time < momentOf(tomorrow, QTime(18, 0), zone))
        return failure(QStringLiteral("forecast ends before tomorrow evening"));

    Forecast forecast;
    forecast.origin = ForecastOrigin::MetNorway;
    forecast.builtAt = builtAt;
    forecast.timeZone = place.timeZone;
    CurrentConditions& current = forecast.current;
    current.observedAt = step.time;
    current.temperature = temperatureIn(*step.temperature, units);
    current.apparentTemperature = temperatureIn(
        feltTemperature(*step.temperature, step.windSpeed.value_or(0), step.humidity), units);
    current.humidity = step.humidity;
    current.pressureHpa = step.pressureHpa;
    current.windSpeed = speedIn(step.windSpeed.value_or(0), units);
    current.windDirection = step.windDirection;
    current.metSymbol =
        step.nextHourSymbol.isEmpty() ? step.nextSixHoursSymbol : step.nextHourSymbol;
    current.isDay =
        daylightOfSymbol(current.metSymbol)
            .value_or(solarElevation(now, place.latitude, place.longitude) > horizonElevation);

    const SolarEvents sun =
        solarEventsAround(momentOf(today, QTime(12, 0), zone), place.latitude, place.longitude);
    forecast.sunrise = sun.sunrise;
    forecast.sunset = sun.sunset;

    for (const QDate date : {today, tomorrow}) {
        std::optional<ForecastDay> day = dayOf(date, steps, pastHours, zone, units);
        if (!day)
            return failure(QStringLiteral("forecast has no temperature on %1")
                               .arg(date.toString(Qt::ISODate)));
        forecast.days.append(std::move(*day));
    }
    return ForecastReadResult{std::move(forecast), {}};
}

QList<PastHour> pastHoursBefore(const QList<MetNorwayStep>& older, const QList<PastHour>& kept,
                                const QDateTime& newStart, const QDateTime& keepFrom)
{
    QList<PastHour> hours;
    for (const PastHour& hour : kept) {
        if (hour.time >= keepFrom && hour.time < newStart &&
            (older.isEmpty() || hour.time < older.first().time))
            hours.append(hour);
    }
    for (const MetNorwayStep& step : older) {
        if (step.time >= keepFrom && step.time < newStart && step.temperature)
            hours.append(PastHour{step.time, *step.temperature, step.nextSixHoursSymbol});
    }
    return hours;
}

} // namespace brisora::gateway
