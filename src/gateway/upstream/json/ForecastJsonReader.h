#pragma once

#include "Forecast.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// Result of reading the source's forecast reply: a forecast, or why there is none.
struct ForecastReadResult
{
    std::optional<Forecast> forecast;
    QString error; // set when `forecast` is empty
};

/// Most forecast days a feed shows.
inline constexpr int feedForecastDays = 5;

/// Reads the source's forecast reply (current and daily blocks; its times are wall-clock
/// text at the one offset `utc_offset_seconds`, its days plain dates) into a Forecast built
/// at `builtAt`. Day or night comes from the first day's sunrise and sunset; a day without
/// either (polar night or day) has neither. The current temperature
/// and its time, and at least two complete forecast days, are required; every other value
/// may be missing, null or out of range and is then left unknown (a missing feels-like
/// temperature falls back to the temperature, a missing wind speed to 0). Days are taken
/// from the front while complete, at most `feedForecastDays`. Never throws; malformed input
/// gives an error text.
ForecastReadResult readForecastJson(QByteArrayView json, const QDateTime& builtAt);

} // namespace brisora::gateway
