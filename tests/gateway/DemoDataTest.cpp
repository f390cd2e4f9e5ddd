#include "DemoPlaces.h"
#include "DemoWeather.h"
#include "FeedDocument.h"
#include "GatewayTestData.h"
#include "PlaceId.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::systemZones;

namespace {

const QDateTime winterMorning(QDate(2026, 1, 15), QTime(8, 0), Qt::UTC);

} // namespace

TEST(DemoData, TwentyPlacesWithDemoIdsAndKnownZones)
{
    const QList<Place> places = demoPlaces();
    ASSERT_EQ(places.size(), 20);
    QSet<QString> ids;
    for (const Place& place : places) {
        const std::optional<PlaceId> id = PlaceId::parse(place.placeId.toStdString());
        ASSERT_TRUE(id) << place.placeId.toStdString();
        EXPECT_EQ(id->kind(), PlaceId::Kind::Demo);
        EXPECT_EQ(demoPlace(id->sourceId()), place);
        EXPECT_TRUE(systemZones().find(place.timeZone.toStdString()))
            << place.timeZone.toStdString();
        ids.insert(place.placeId);
    }
    EXPECT_EQ(ids.size(), 20);
    EXPECT_FALSE(demoPlace(0).has_value());
    EXPECT_FALSE(demoPlace(21).has_value());
}

TEST(DemoData, SearchPrefersNamePrefixes)
{
    const QList<Place> found = searchDemoPlaces(QStringLiteral("  new  "));
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.first().name, QStringLiteral("New York"));
    EXPECT_EQ(searchDemoPlaces(QStringLiteral("united")).size(), 4); // GB and three US cities
    EXPECT_TRUE(searchDemoPlaces(QStringLiteral("Atlantis")).isEmpty());
    EXPECT_TRUE(searchDemoPlaces(QString()).isEmpty());
}

TEST(DemoData, WeatherIsDeterministicAndMarked)
{
    const Place berlin = *demoPlace(6);
    const Forecast once = demoForecast(berlin, Units::Metric, winterMorning, systemZones());
    const Forecast again = demoForecast(berlin, Units::Metric, winterMorning, systemZones());
    EXPECT_EQ(renderFeedDocument(berlin, once, Units::Metric, systemZones()),
              renderFeedDocument(berlin, again, Units::Metric, systemZones()));
    EXPECT_TRUE(once.isDemo);
    EXPECT_EQ(once.days.size(), 5);
    EXPECT_TRUE(renderFeedDocument(berlin, once, Units::Metric, systemZones())
                    .contains("Berlin, DE (demo)"));
}

TEST(DemoData, WeatherVariesWithPlaceSeasonAndHourPlausibly)
{
    const Place reykjavik = *demoPlace(17);
    const Place singapore = *demoPlace(16);
    const Place sydney = *demoPlace(4);
    const QDateTime summer(QDate(2026, 7, 15), QTime(8, 0), Qt::UTC);

    const double reykjavikWinter =
        demoForecast(reykjavik, Units::Metric, winterMorning, systemZones()).days[0].high;
    const double reykjavikSummer =
        demoForecast(reykjavik, Units::Metric, summer, systemZones()).days[0].high;
    EXPECT_LT(reykjavikWinter, reykjavikSummer);
    EXPECT_GT(demoForecast(singapore, Units::Metric, winterMorning, systemZones()).days[0].low,
              reykjavikWinter);
    // The south has its summer in January.
    EXPECT_GT(demoForecast(sydney, Units::Metric, winterMorning, systemZones()).days[0].high,
              demoForecast(sydney, Units::Metric, summer, systemZones()).days[0].high);

    const Forecast early =
        demoForecast(singapore, Units::Metric, QDateTime(QDate(2026, 1, 15), QTime(22, 0), Qt::UTC),
                     systemZones());
    const Forecast afternoon =
        demoForecast(singapore, Units::Metric, QDateTime(QDate(2026, 1, 16), QTime(7, 0), Qt::UTC),
                     systemZones());
    EXPECT_FALSE(early.current.isDay);    // 06:00 in Singapore
    EXPECT_TRUE(afternoon.current.isDay); // 15:00 in Singapore

    for (const Place& place : demoPlaces()) {
        for (Units units : {Units::Metric, Units::Imperial}) {
            const Forecast forecast = demoForecast(place, units, summer, systemZones());
            const double low = units == Units::Metric ? -45 : -50;
            const double high = units == Units::Metric ? 50 : 122;
            EXPECT_GT(forecast.current.temperature, low);
            EXPECT_LT(forecast.current.temperature, high);
            for (const ForecastDay& day : forecast.days)
                EXPECT_LE(day.low, day.high);
        }
    }
}
