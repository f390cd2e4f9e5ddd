#include "WeatherCondition.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace brisora::gateway {
namespace {

using namespace Qt::StringLiterals;
using namespace std::string_view_literals;

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

struct MetCondition
{
    std::string_view base; // the symbol code without "_day", "_night" or "_polartwilight"
    bool hasVariants;      // whether MET writes it with one of those suffixes
    WeatherCondition day;
    WeatherCondition night;
};

constexpr MetCondition sameAllDay(std::string_view base, bool hasVariants,
                                  WeatherCondition condition)
{
    return {base, hasVariants, condition, condition};
}

// MET's own English names. MET's sleet is rain and snow mixed (code 5, not the feed's ice
// pellets, 18); showers with thunder are thundershowers (45, light ones isolated: 47), steady
// falls with thunder thunderstorms (4). Sorted by base.
constexpr MetCondition metSymbols[] = {
    {"clearsky"sv, true, {32, "Sunny"_L1}, {31, "Clear"_L1}},
    sameAllDay("cloudy"sv, false, {26, "Cloudy"_L1}),
    {"fair"sv, true, {34, "Fair"_L1}, {33, "Fair"_L1}},
    sameAllDay("fog"sv, false, {20, "Fog"_L1}),
    sameAllDay("heavyrain"sv, false, {12, "Heavy Rain"_L1}),
    sameAllDay("heavyrainandthunder"sv, false, {4, "Heavy Rain and Thunder"_L1}),
    sameAllDay("heavyrainshowers"sv, true, {12, "Heavy Rain Showers"_L1}),
    sameAllDay("heavyrainshowersandthunder"sv, true, {45, "Heavy Rain Showers and Thunder"_L1}),
    sameAllDay("heavysleet"sv, false, {5, "Heavy Sleet"_L1}),
    sameAllDay("heavysleetandthunder"sv, false, {4, "Heavy Sleet and Thunder"_L1}),
    sameAllDay("heavysleetshowers"sv, true, {5, "Heavy Sleet Showers"_L1}),
    sameAllDay("heavysleetshowersandthunder"sv, true, {45, "Heavy Sleet Showers and Thunder"_L1}),
    sameAllDay("heavysnow"sv, false, {41, "Heavy Snow"_L1}),
    sameAllDay("heavysnowandthunder"sv, false, {4, "Heavy Snow and Thunder"_L1}),
    sameAllDay("heavysnowshowers"sv, true, {43, "Heavy Snow Showers"_L1}),
    sameAllDay("heavysnowshowersandthunder"sv, true, {45, "Heavy Snow Showers and Thunder"_L1}),
    sameAllDay("lightrain"sv, false, {11, "Light Rain"_L1}),
    sameAllDay("lightrainandthunder"sv, false, {4, "Light Rain and Thunder"_L1}),
    sameAllDay("lightrainshowers"sv, true, {40, "Light Rain Showers"_L1}),
    sameAllDay("lightrainshowersandthunder"sv, true, {47, "Light Rain Showers and Thunder"_L1}),
    sameAllDay("lightsleet"sv, false, {5, "Light Sleet"_L1}),
    sameAllDay("lightsleetandthunder"sv, false, {4, "Light Sleet and Thunder"_L1}),
    sameAllDay("lightsleetshowers"sv, true, {5, "Light Sleet Showers"_L1}),
    sameAllDay("lightsnow"sv, false, {14, "Light Snow"_L1}),
    sameAllDay("lightsnowandthunder"sv, false, {4, "Light Snow and Thunder"_L1}),
    sameAllDay("lightsnowshowers"sv, true, {14, "Light Snow Showers"_L1}),
    // MET's two misspelt codes, kept as MET writes them.
    sameAllDay("lightssleetshowersandthunder"sv, true, {47, "Light Sleet Showers and Thunder"_L1}),
    sameAllDay("lightssnowshowersandthunder"sv, true, {47, "Light Snow Showers and Thunder"_L1}),
    {"partlycloudy"sv, true, {30, "Partly Cloudy"_L1}, {29, "Partly Cloudy"_L1}},
    sameAllDay("rain"sv, false, {12, "Rain"_L1}),
    sameAllDay("rainandthunder"sv, false, {4, "Rain and Thunder"_L1}),
    sameAllDay("rainshowers"sv, true, {11, "Rain Showers"_L1}),
    sameAllDay("rainshowersandthunder"sv, true, {45, "Rain Showers and Thunder"_L1}),
    sameAllDay("sleet"sv, false, {5, "Sleet"_L1}),
    sameAllDay("sleetandthunder"sv, false, {4, "Sleet and Thunder"_L1}),
    sameAllDay("sleetshowers"sv, true, {5, "Sleet Showers"_L1}),
    sameAllDay("sleetshowersandthunder"sv, true, {45, "Sleet Showers and Thunder"_L1}),
    sameAllDay("snow"sv, false, {16, "Snow"_L1}),
    sameAllDay("snowandthunder"sv, false, {4, "Snow and Thunder"_L1}),
    sameAllDay("snowshowers"sv, true, {46, "Snow Showers"_L1}),
    sameAllDay("snowshowersandthunder"sv, true, {45, "Snow Showers and Thunder"_L1}),
};

static_assert(std::size(metSymbols) == 41);
static_assert(std::ranges::is_sorted(metSymbols, {}, &MetCondition::base));
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

WeatherCondition conditionForMetSymbol(QStringView symbol, bool isDay)
{
    bool suffixed = false;
    for (QLatin1StringView suffix : {"_day"_L1, "_night"_L1, "_polartwilight"_L1}) {
        if (symbol.endsWith(suffix)) {
            symbol.chop(suffix.size());
            suffixed = true;
            break;
        }
    }
    const QByteArray latin = symbol.toLatin1();
    const std::string_view base(latin.constData(), static_cast<std::size_t>(latin.size()));
    const auto found = std::ranges::lower_bound(metSymbols, base, {}, &MetCondition::base);
    if (found == std::end(metSymbols) || found->base != base || found->hasVariants != suffixed)
        return {};
    return isDay ? found->day : found->night;
}

WeatherCondition conditionFor(std::optional<int> wmoCode, QStringView metSymbol, bool isDay)
{
    return metSymbol.isEmpty() ? conditionForWmoCode(wmoCode, isDay)
                               : conditionForMetSymbol(metSymbol, isDay);
}

} // namespace brisora::gateway
