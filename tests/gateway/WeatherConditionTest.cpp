#include "WeatherCondition.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace brisora::gateway;

namespace {

// Every code of the WMO 4677 subset the source reports.
constexpr int sourceCodes[] = {0,  1,  2,  3,  45, 48, 51, 53, 55, 56, 57, 61, 63, 65,
                               66, 67, 71, 73, 75, 77, 80, 81, 82, 85, 86, 95, 96, 99};

} // namespace

TEST(WeatherCondition, EveryCodeMapsIntoTheFeedTableDayAndNight)
{
    for (int wmo : sourceCodes) {
        for (bool isDay : {true, false}) {
            const WeatherCondition condition = conditionForWmoCode(wmo, isDay);
            EXPECT_GE(condition.code, 0) << wmo;
            EXPECT_LE(condition.code, 47) << wmo;
            EXPECT_FALSE(condition.text.isEmpty()) << wmo;
            EXPECT_TRUE(QChar(condition.text.front()).isUpper()) << wmo; // title case
            // The widget's cutter strips quotes and ends a value at "code=".
            EXPECT_FALSE(QString(condition.text).contains(QLatin1Char('"'))) << wmo;
        }
    }
}

TEST(WeatherCondition, ClearAndCloudySkiesHaveNightVariants)
{
    const std::pair<int, std::pair<WeatherCondition, WeatherCondition>> expected[] = {
        {0, {{32, QLatin1StringView("Sunny")}, {31, QLatin1StringView("Clear")}}},
        {1, {{34, QLatin1StringView("Fair")}, {33, QLatin1StringView("Fair")}}},
        {2, {{30, QLatin1StringView("Partly Cloudy")}, {29, QLatin1StringView("Partly Cloudy")}}},
    };
    for (const auto& [wmo, dayNight] : expected) {
        EXPECT_EQ(conditionForWmoCode(wmo, true), dayNight.first) << wmo;
        EXPECT_EQ(conditionForWmoCode(wmo, false), dayNight.second) << wmo;
    }
    // Everything else looks the same by night.
    for (int wmo : sourceCodes) {
        if (wmo > 2) {
            EXPECT_EQ(conditionForWmoCode(wmo, true), conditionForWmoCode(wmo, false)) << wmo;
        }
    }
}

TEST(WeatherCondition, SampleMappingsMatchTheOldTable)
{
    EXPECT_EQ(conditionForWmoCode(3, true).code, 26);  // cloudy
    EXPECT_EQ(conditionForWmoCode(45, true).code, 20); // foggy
    EXPECT_EQ(conditionForWmoCode(56, true).code, 8);  // freezing drizzle
    EXPECT_EQ(conditionForWmoCode(67, true).code, 10); // freezing rain
    EXPECT_EQ(conditionForWmoCode(75, true).code, 41); // heavy snow
    EXPECT_EQ(conditionForWmoCode(95, true).code, 4);  // thunderstorms
    EXPECT_EQ(conditionForWmoCode(99, true).code, 3);  // severe thunderstorms
    EXPECT_EQ(conditionForWmoCode(61, true).text, QLatin1StringView("Light Rain"));
}

TEST(WeatherCondition, UnknownOrMissingCodesAreNotAvailable)
{
    const WeatherCondition notAvailable{3200, QLatin1StringView("Not Available")};
    const std::set<int> known(std::begin(sourceCodes), std::end(sourceCodes));
    for (int wmo = -5; wmo < 300; ++wmo) {
        if (!known.contains(wmo)) {
            EXPECT_EQ(conditionForWmoCode(wmo, true), notAvailable) << wmo;
        }
    }
    EXPECT_EQ(conditionForWmoCode(std::nullopt, false), notAvailable);
}

TEST(WeatherCondition, EveryMetNorwaySymbolMapsAndNothingElseDoes)
{
    // MET Norway's 41 symbol bases, those that take a _day, _night or _polartwilight suffix
    // first; 21 x 3 + 20 = its 83 codes.
    const std::vector<std::string> withVariants = {"clearsky",
                                                   "fair",
                                                   "partlycloudy",
                                                   "rainshowers",
                                                   "rainshowersandthunder",
                                                   "sleetshowers",
                                                   "snowshowers",
                                                   "sleetshowersandthunder",
                                                   "snowshowersandthunder",
                                                   "lightrainshowersandthunder",
                                                   "heavyrainshowersandthunder",
                                                   "lightssleetshowersandthunder",
                                                   "heavysleetshowersandthunder",
                                                   "lightssnowshowersandthunder",
                                                   "heavysnowshowersandthunder",
                                                   "lightrainshowers",
                                                   "heavyrainshowers",
                                                   "lightsleetshowers",
                                                   "heavysleetshowers",
                                                   "lightsnowshowers",
                                                   "heavysnowshowers"};
    const std::vector<std::string> withoutVariants = {"cloudy",
                                                      "rain",
                                                      "heavyrain",
                                                      "heavyrainandthunder",
                                                      "sleet",
                                                      "snow",
                                                      "snowandthunder",
                                                      "fog",
                                                      "rainandthunder",
                                                      "sleetandthunder",
                                                      "lightrainandthunder",
                                                      "lightsleetandthunder",
                                                      "heavysleetandthunder",
                                                      "lightsnowandthunder",
                                                      "heavysnowandthunder",
                                                      "lightrain",
                                                      "lightsleet",
                                                      "heavysleet",
                                                      "lightsnow",
                                                      "heavysnow"};
    std::vector<std::string> codes = withoutVariants;
    for (const std::string& base : withVariants) {
        for (const char* suffix : {"_day", "_night", "_polartwilight"})
            codes.push_back(base + suffix);
    }
    ASSERT_EQ(codes.size(), 83u);
    for (const std::string& code : codes) {
        const WeatherCondition condition =
            conditionForMetSymbol(QString::fromStdString(code), true);
        EXPECT_GE(condition.code, 0) << code;
        EXPECT_LE(condition.code, 47) << code;
        EXPECT_TRUE(QChar(condition.text.front()).isUpper()) << code;
    }
    EXPECT_EQ(conditionForMetSymbol(u"clearsky_night", false),
              (WeatherCondition{31, QLatin1StringView("Clear")}));
    EXPECT_EQ(conditionForMetSymbol(u"partlycloudy_polartwilight", false).code, 29);
    EXPECT_EQ(conditionForMetSymbol(u"heavysnowshowersandthunder_day", false).code, 45);
    // A suffix where MET writes none, none where it writes one, and anything else.
    const WeatherCondition notAvailable;
    for (const char16_t* wrong : {u"rain_day", u"clearsky", u"clearsky_dusk", u"hail", u""})
        EXPECT_EQ(conditionForMetSymbol(wrong, true), notAvailable)
            << QStringView(wrong).toString().toStdString();
}
