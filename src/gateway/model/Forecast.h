#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// Which set of units a feed is written in: `u=c` asks for metric.
enum class Units
{
    Imperial, // F, mph, in, mi
    Metric,   // C, km/h, mb, km
};

/// Whose data a forecast holds: the feed credits it and links there.
enum class ForecastOrigin
{
    OpenMeteo,
    MetNorway,
};

/// The current conditions as the source reported them, already in the feed's units
/// except pressure (hPa) and visibility (metres), which the renderer converts.
struct CurrentConditions
{
    QDateTime observedAt; // the moment, in any zone; the renderer shows it in the place's
    double temperature = 0;
    double apparentTemperature = 0;
    std::optional<double> humidity;    // percent
    std::optional<double> pressureHpa; // at sea level
    std::optional<double> visibilityMetres;
    double windSpeed = 0;                // km/h or mph, as asked
    std::optional<double> windDirection; // degrees
    std::optional<int> weatherCode;      // WMO 4677 code
    QString metSymbol; // MET Norway's symbol code; when set, it names the condition instead
    bool isDay = true;
};

/// One forecast day in the place's calendar.
struct ForecastDay
{
    QDate date;
    double low = 0;
    double high = 0;
    std::optional<int> weatherCode; // WMO 4677 code
    QString metSymbol;              // MET Norway's symbol code, instead of a WMO code
};

/// Everything one feed document is rendered from. `builtAt` is the moment the data was
/// fetched (the feed's build date); a stale copy keeps its own.
struct Forecast
{
    QDateTime builtAt;        // any zone; the renderer shows it in the place's zone
    QString timeZone;         // IANA id that the source resolved, may be empty
    int utcOffsetSeconds = 0; // used when no zone database entry matches
    CurrentConditions current;
    std::optional<QDateTime> sunrise; // today's moments; none on a polar day or night
    std::optional<QDateTime> sunset;
    QList<ForecastDay> days; // today first
    bool isDemo = false;     // made up by the demo source, and marked so in the feed
    ForecastOrigin origin = ForecastOrigin::OpenMeteo;
};

} // namespace brisora::gateway
