#include "FeedDocument.h"
#include "ForecastJsonReader.h"
#include "GatewayTestData.h"
#include "GeocodingJsonReader.h"
#include "HttpResponse.h"
#include "PlaceSearchDocument.h"
#include "feed/FeedCutter.h"
#include "search/PlaceReplyCutter.h"

#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::goldenFile;
using brisora::gateway::test::systemZones;
using brisora::gateway::test::testData;

namespace {

const QDateTime fixedClock(QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC);

std::string served(const QByteArray& body)
{
    return httpResponse(200, xmlContentType, body, true, httpDate(fixedClock)).toStdString();
}

Place minneapolis()
{
    return readGeocodedPlaceJson(testData(QStringLiteral("geocoding_place.json"))).places->first();
}

std::string feedReply(const QByteArray& json, Units units)
{
    const ForecastReadResult read = readForecastJson(json, fixedClock);
    return served(renderFeedDocument(minneapolis(), *read.forecast, units, systemZones()));
}

} // namespace

// The widget's own cutters run over the gateway's replies: the two halves must agree.
TEST(WidgetAgreement, MetricFeedCutsIntoTheExpectedCaptions)
{
    const brisora::FeedCut cut = brisora::cutFeed(
        feedReply(testData(QStringLiteral("forecast_metric.json")), Units::Metric), 1);
    ASSERT_TRUE(cut.complete()) << cut.cutsDone;
    EXPECT_EQ(cut.title, "Minneapolis, Minnesota");
    EXPECT_EQ(cut.dateTime, "at Tue, 08 Dec 2026 3:53 pm CST");
    EXPECT_EQ(cut.windChill, "-7 \u00b0C");
    EXPECT_EQ(cut.windSpeed, "21 kmph");
    EXPECT_EQ(cut.condition, "Partly Cloudy");
    EXPECT_EQ(cut.conditionCode, "30  "); // not trimmed: the blanks before temp= stay
    EXPECT_EQ(cut.imageIndex, 31);
    EXPECT_EQ(cut.temperature, "-3 \u00b0C");
    EXPECT_EQ(cut.day1, "Tue, Partly Cloudy. High:0  Low:-10");
    EXPECT_EQ(cut.day2, "Wed, Sunny. High:2  Low:-8 "); // only day 1 is trimmed
    EXPECT_EQ(cut.tooltip, "Minneapolis, Minnesota : -3 \u00b0C");
}

TEST(WidgetAgreement, ImperialFeedCutsIntoTheExpectedCaptions)
{
    const brisora::FeedCut cut = brisora::cutFeed(
        feedReply(testData(QStringLiteral("forecast_imperial.json")), Units::Imperial), 0);
    ASSERT_TRUE(cut.complete()) << cut.cutsDone;
    EXPECT_EQ(cut.windChill, "19 \u00b0F");
    EXPECT_EQ(cut.windSpeed, "13 mph");
    EXPECT_EQ(cut.temperature, "27 \u00b0F");
    EXPECT_EQ(cut.day1, "Tue, Partly Cloudy. High:31  Low:14");
}

TEST(WidgetAgreement, MetNorwayFeedCutsIntoTheExpectedCaptions)
{
    // The golden feed from MET Norway's New York reply, with its long credit and no visibility.
    const brisora::FeedCut cut =
        brisora::cutFeed(served(goldenFile(QStringLiteral("metno_newyork_imperial.xml"))), 0);
    ASSERT_TRUE(cut.complete()) << cut.cutsDone;
    EXPECT_EQ(cut.title, "New York, US");
    EXPECT_EQ(cut.windChill, "84 \u00b0F"); // the heat index, by MET's rule
    EXPECT_EQ(cut.windSpeed, "9 mph");
    EXPECT_EQ(cut.condition, "Partly Cloudy");
    EXPECT_EQ(cut.imageIndex, 31);
    EXPECT_EQ(cut.day1, "Mon, Partly Cloudy. High:97  Low:80");
    EXPECT_EQ(cut.day2, "Tue, Sunny. High:90  Low:72 ");
}

TEST(WidgetAgreement, EveryConditionGivesItsIconAndNotAvailableTheLast)
{
    for (const auto& [wmo, image] : {std::pair{0, 33}, std::pair{95, 5}, std::pair{-1, 49}}) {
        QByteArray json = testData(QStringLiteral("forecast_metric.json"));
        json.replace("\"weather_code\":2,\"wind",
                     "\"weather_code\":" + QByteArray::number(wmo) + ",\"wind");
        const brisora::FeedCut cut = brisora::cutFeed(feedReply(json, Units::Metric), 1);
        ASSERT_TRUE(cut.complete());
        EXPECT_EQ(cut.imageIndex, image) << wmo;
    }
}

TEST(WidgetAgreement, SearchReplyCutsIntoIdAndName)
{
    const GeocodingReadResult read =
        readGeocodingSearchJson(testData(QStringLiteral("geocoding_search.json")));
    const brisora::PlaceCut cut =
        brisora::cutPlaceReply(served(renderPlaceSearchDocument(*read.places, fixedClock)));
    EXPECT_TRUE(cut.found);
    EXPECT_EQ(cut.woeid, "5005037649");
    EXPECT_EQ(cut.name, ">Minneapolis");

    const brisora::PlaceCut none =
        brisora::cutPlaceReply(served(renderPlaceSearchDocument({}, fixedClock)));
    EXPECT_FALSE(none.found);
}

TEST(WidgetAgreement, CityNotFoundCutsToNothingUsable)
{
    const brisora::FeedCut cut = brisora::cutFeed(
        served(renderCityNotFoundDocument(QStringLiteral("2459115"), Units::Metric)), 1);
    EXPECT_FALSE(cut.complete());
}
