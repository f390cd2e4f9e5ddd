#pragma once

#include <QLatin1StringView>
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

} // namespace brisora::gateway
