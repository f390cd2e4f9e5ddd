#pragma once

#include <QLatin1StringView>
#include <QStringView>
#include <optional>

namespace brisora::gateway {

/// A condition in the feed's own code table (0-47, 3200) with the phrase the feed shows.
struct WeatherCondition
{
    int code = 3200;
    QLatin1StringView text{"Not Available"};

    bool operator==(const WeatherCondition& other) const
    {
        return code == other.code && text == other.text;
    }
};

/// Maps a WMO 4677 weather code (as the source reports it) to the feed's condition.
/// `isDay` picks the night variants of the clear and cloudy codes (31, 33, 29).
/// A missing or unknown code gives 3200 "Not Available".
WeatherCondition conditionForWmoCode(std::optional<int> wmoCode, bool isDay);

/// Maps one of MET Norway's 83 symbol codes ("clearsky_day", "rain", the two misspelt
/// "lightss..." ones too) to the feed's condition. The code's own variant suffix is not read:
/// `isDay` picks the night look of clear, fair and partly cloudy skies (31, 33, 29), as for
/// WMO codes. A base that takes a suffix without one, or the other way round, and any other
/// text, give 3200 "Not Available".
WeatherCondition conditionForMetSymbol(QStringView symbol, bool isDay);

/// The condition of a value that carries either a WMO code or a MET Norway symbol (which wins).
WeatherCondition conditionFor(std::optional<int> wmoCode, QStringView metSymbol, bool isDay);

} // namespace brisora::gateway
