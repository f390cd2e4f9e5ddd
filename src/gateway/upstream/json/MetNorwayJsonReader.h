#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// One step of MET Norway's forecast series: the values at `time`, and the symbols that sum
/// up the hour and the six hours from then.
struct MetNorwayStep
{
    QDateTime time;                      // UTC
    std::optional<double> temperature;   // degrees Celsius, 2 m above ground
    std::optional<double> humidity;      // percent
    std::optional<double> pressureHpa;   // at sea level
    std::optional<double> windSpeed;     // metres per second, 10 m above ground
    std::optional<double> windDirection; // degrees, where the wind comes from
    QString nextHourSymbol;              // may be empty (six-hourly steps have none)
    QString nextSixHoursSymbol;          // may be empty (the last steps have none)
};

/// Result of reading a forecast reply: its steps, or why there are none.
struct MetNorwayReadResult
{
    std::optional<QList<MetNorwayStep>> steps;
    QString error; // set when `steps` is empty
};

/// Reads a Locationforecast 2.0 reply (compact or complete: a GeoJSON Feature whose
/// properties hold `timeseries`). Every step needs a time ("2026-06-26T13:00:00Z"), in
/// strictly rising order; values that are missing, null or out of range are left unknown.
/// Malformed JSON, another layout, an empty series or an unreadable time give an error text.
/// Never throws.
MetNorwayReadResult readMetNorwayJson(QByteArrayView json);

} // namespace brisora::gateway
