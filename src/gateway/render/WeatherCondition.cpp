#include "WeatherCondition.h"

namespace brisora::gateway {

WeatherCondition conditionForWmoCode(std::optional<int> wmoCode, bool isDay)
{
    using namespace Qt::StringLiterals;
    if (!wmoCode)
        return {};
    switch (*wmoCode) {
    case 0:
        return isDay ? WeatherCondition{32, "Sunny"_L1} : WeatherCondition{31, "Clear"_L1};
    case 1:
        return isDay ? WeatherCondition{34, "Fair"_L1} : WeatherCondition{33, "Fair"_L1};
    case 2:
        return isDay ? WeatherCondition{30, "Partly Cloudy"_L1}
                     : WeatherCondition{29, "Partly Cloudy"_L1};
    case 3:
        return {26, "Cloudy"_L1};
    case 45:
        return {20, "Fog"_L1};
    case 48:
        return {20, "Freezing Fog"_L1};
    case 51:
        return {9, "Light Drizzle"_L1};
    case 53:
    case 55:
        return {9, "Drizzle"_L1};
    case 56:
    case 57:
        return {8, "Freezing Drizzle"_L1};
    case 61:
        return {11, "Light Rain"_L1};
    case 63:
        return {12, "Rain"_L1};
    case 65:
        return {12, "Heavy Rain"_L1};
    case 66:
        return {10, "Light Freezing Rain"_L1};
    case 67:
        return {10, "Freezing Rain"_L1};
    case 71:
        return {14, "Light Snow"_L1};
    case 73:
        return {16, "Snow"_L1};
    case 75:
        return {41, "Heavy Snow"_L1};
    case 77:
        return {13, "Snow Flurries"_L1};
    case 80:
        return {40, "Scattered Showers"_L1};
    case 81:
        return {11, "Showers"_L1};
    case 82:
        return {12, "Heavy Showers"_L1};
    case 85:
        return {46, "Snow Showers"_L1};
    case 86:
        return {43, "Heavy Snow Showers"_L1};
    case 95:
        return {4, "Thunderstorms"_L1};
    case 96:
    case 99:
        return {3, "Severe Thunderstorms"_L1};
    default:
        return {};
    }
}

} // namespace brisora::gateway
