#include "WeatherCondition.h"

#include <algorithm>
#include <span>

namespace brisora::gateway {
namespace {

using namespace Qt::StringLiterals;

struct WmoCondition
{
    int wmo;
    WeatherCondition condition;
};

// How each code looks by day, sorted by WMO code.
constexpr WmoCondition byDay[] = {
    {0, {32, "Sunny"_L1}},
    {1, {34, "Fair"_L1}},
    {2, {30, "Partly Cloudy"_L1}},
    {3, {26, "Cloudy"_L1}},
    {45, {20, "Fog"_L1}},
    {48, {20, "Freezing Fog"_L1}},
    {51, {9, "Light Drizzle"_L1}},
    {53, {9, "Drizzle"_L1}},
    {55, {9, "Drizzle"_L1}},
    {56, {8, "Freezing Drizzle"_L1}},
    {57, {8, "Freezing Drizzle"_L1}},
    {61, {11, "Light Rain"_L1}},
    {63, {12, "Rain"_L1}},
    {65, {12, "Heavy Rain"_L1}},
    {66, {10, "Light Freezing Rain"_L1}},
    {67, {10, "Freezing Rain"_L1}},
    {71, {14, "Light Snow"_L1}},
    {73, {16, "Snow"_L1}},
    {75, {41, "Heavy Snow"_L1}},
    {77, {13, "Snow Flurries"_L1}},
    {80, {40, "Scattered Showers"_L1}},
    {81, {11, "Showers"_L1}},
    {82, {12, "Heavy Showers"_L1}},
    {85, {46, "Snow Showers"_L1}},
    {86, {43, "Heavy Snow Showers"_L1}},
    {95, {4, "Thunderstorms"_L1}},
    {96, {3, "Severe Thunderstorms"_L1}},
    {99, {3, "Severe Thunderstorms"_L1}},
};

// Clear and cloudy skies have a night look of their own; every other code looks the same.
constexpr WmoCondition byNight[] = {
    {0, {31, "Clear"_L1}},
    {1, {33, "Fair"_L1}},
    {2, {29, "Partly Cloudy"_L1}},
};

/// The entry of sorted `table` for `wmo`, or null.
const WmoCondition* find(std::span<const WmoCondition> table, int wmo)
{
    const auto found = std::ranges::lower_bound(table, wmo, {}, &WmoCondition::wmo);
    return found != table.end() && found->wmo == wmo ? &*found : nullptr;
}

static_assert(std::ranges::is_sorted(byDay, {}, &WmoCondition::wmo));
static_assert(std::ranges::is_sorted(byNight, {}, &WmoCondition::wmo));

} // namespace

WeatherCondition conditionForWmoCode(std::optional<int> wmoCode, bool isDay)
{
    if (!wmoCode)
        return {};
    if (const WmoCondition* night = isDay ? nullptr : find(byNight, *wmoCode))
        return night->condition;
    if (const WmoCondition* day = find(byDay, *wmoCode))
        return day->condition;
    return {};
}

} // namespace brisora::gateway
