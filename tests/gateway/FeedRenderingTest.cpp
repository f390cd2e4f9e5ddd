#include "FeedDocument.h"
#include "ForecastJsonReader.h"
#include "GatewayTestData.h"
#include "GeocodingJsonReader.h"
#include "HttpResponse.h"
#include "NominatimJsonReader.h"
#include "PlaceSearchDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::expectMatchesGolden;
using brisora::gateway::test::systemZones;
using brisora::gateway::test::testData;

namespace {

const QDateTime fixedClock(QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC);

Place minneapolis()
{
    const GeocodingReadResult read =
        readGeocodedPlaceJson(testData(QStringLiteral("geocoding_place.json")));
    EXPECT_TRUE(read.places && read.places->size() == 1) << read.error.toStdString();
    return read.places && !read.places->isEmpty() ? read.places->first() : Place{};
}

Forecast forecastFrom(const QString& file)
{
    ForecastReadResult read = readForecastJson(testData(file), fixedClock);
    EXPECT_TRUE(read.forecast.has_value()) << read.error.toStdString();
    return read.forecast.value_or(Forecast{});
}

/// The metric fixture with `edit` applied to its parsed JSON.
ForecastReadResult readEdited(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject root =
        QJsonDocument::fromJson(testData(QStringLiteral("forecast_metric.json"))).object();
    edit(root);
    return readForecastJson(QJsonDocument(root).toJson(), fixedClock);
}

void setIn(QJsonObject& root, const QString& block, const QString& key, const QJsonValue& value)
{
    QJsonObject inner = root.value(block).toObject();
    if (value.isUndefined())
        inner.remove(key);
    else
        inner.insert(key, value);
    root.insert(block, inner);
}

QByteArray withHeaders(const QByteArray& body)
{
    return httpResponse(200, xmlContentType, body, true, httpDate(fixedClock));
}

} // namespace

TEST(FeedRendering, MetricFeedMatchesGolden)
{
    const QByteArray feed =
        renderFeedDocument(minneapolis(), forecastFrom(QStringLiteral("forecast_metric.json")),
                           Units::Metric, systemZones());
    expectMatchesGolden(feed, QStringLiteral("feed_metric.xml"));
}

TEST(FeedRendering, ImperialFeedMatchesGolden)
{
    const QByteArray feed =
        renderFeedDocument(minneapolis(), forecastFrom(QStringLiteral("forecast_imperial.json")),
                           Units::Imperial, systemZones());
    expectMatchesGolden(feed, QStringLiteral("feed_imperial.xml"));
}

TEST(FeedRendering, SearchReplyMatchesGolden)
{
    const GeocodingReadResult read =
        readGeocodingSearchJson(testData(QStringLiteral("geocoding_search.json")));
    ASSERT_TRUE(read.places);
    ASSERT_EQ(read.places->size(), 2);
    expectMatchesGolden(renderPlaceSearchDocument(*read.places, fixedClock),
                        QStringLiteral("search.xml"));
}

TEST(FeedRendering, ErrorAndNoResultRepliesMatchGolden)
{
    expectMatchesGolden(renderCityNotFoundDocument(QStringLiteral("2459115"), Units::Metric),
                        QStringLiteral("city_not_found.xml"));
    expectMatchesGolden(renderPlaceSearchDocument({}, fixedClock), QStringLiteral("no_result.xml"));
}

TEST(FeedRendering, RepliesAreLongOrShortEnoughForTheWidgetsCompletionTest)
{
    // The smallest feed the reader accepts: two days, one-letter place, nothing optional.
    Place tiny;
    tiny.placeId = QStringLiteral("5000000001");
    tiny.name = QStringLiteral("A");
    const ForecastReadResult sparse = readEdited([](QJsonObject& root) {
        root.remove(QStringLiteral("timezone"));
        root.insert(QStringLiteral("current"),
                    QJsonObject{{QStringLiteral("time"), QStringLiteral("2026-12-08T15:45")},
                                {QStringLiteral("temperature_2m"), 1}});
        QJsonObject daily = root.value(QStringLiteral("daily")).toObject();
        for (const QString& key : daily.keys())
            daily.insert(key, QJsonArray{daily.value(key).toArray().at(0),
                                         daily.value(key).toArray().at(1)});
        daily.remove(QStringLiteral("sunrise"));
        daily.remove(QStringLiteral("sunset"));
        root.insert(QStringLiteral("daily"), daily);
    });
    ASSERT_TRUE(sparse.forecast) << sparse.error.toStdString();
    for (Units units : {Units::Metric, Units::Imperial}) {
        const QByteArray feed = renderFeedDocument(tiny, *sparse.forecast, units, systemZones());
        EXPECT_GT(feed.size(), 2000); // even without the headers
        EXPECT_TRUE(feed.endsWith(" -->\n"));
    }
    EXPECT_GT(renderPlaceSearchDocument({tiny}, fixedClock).size(), 1000);

    // The error and no-result replies stay short, so the widget never cuts them.
    EXPECT_LE(withHeaders(renderCityNotFoundDocument(QString(64, QLatin1Char('9')), Units::Metric))
                  .size(),
              2000);
    EXPECT_LE(withHeaders(renderPlaceSearchDocument({}, fixedClock)).size(), 1000);
}

TEST(FeedRendering, PlaceWithoutTimeZoneUsesTheForecastsZoneOrOffset)
{
    Place place = minneapolis();
    place.timeZone.clear();
    const Forecast forecast = forecastFrom(QStringLiteral("forecast_metric.json"));
    EXPECT_TRUE(
        renderFeedDocument(place, forecast, Units::Metric, systemZones()).contains("3:53 pm CST"));

    Forecast offsetOnly = forecast;
    offsetOnly.timeZone.clear(); // only utc_offset_seconds (-6 h) is left
    const QByteArray feed = renderFeedDocument(place, offsetOnly, Units::Metric, systemZones());
    EXPECT_TRUE(feed.contains("<lastBuildDate>Tue, 08 Dec 2026 3:53 pm UTC-06</lastBuildDate>"))
        << feed.toStdString();
    // A zone the files lack, and an offset of hours and minutes.
    place.timeZone = QStringLiteral("America/Atlantis");
    offsetOnly.utcOffsetSeconds = 5 * 3600 + 45 * 60;
    EXPECT_TRUE(renderFeedDocument(place, offsetOnly, Units::Metric, systemZones())
                    .contains("<lastBuildDate>Wed, 09 Dec 2026 3:38 am UTC+05:45</lastBuildDate>"));
}

TEST(ForecastReading, MissingFieldsAndNullsDegradeOrFail)
{
    const ForecastReadResult nulls = readEdited([](QJsonObject& root) {
        for (const char* key :
             {"apparent_temperature", "relative_humidity_2m", "weather_code", "wind_speed_10m",
              "wind_direction_10m", "pressure_msl", "visibility"})
            setIn(root, QStringLiteral("current"), QLatin1String(key), QJsonValue::Null);
    });
    ASSERT_TRUE(nulls.forecast) << nulls.error.toStdString();
    const QByteArray feed =
        renderFeedDocument(minneapolis(), *nulls.forecast, Units::Imperial, systemZones());
    EXPECT_TRUE(feed.contains(R"(<yweather:wind chill="-3"   direction=""   speed="0" />)"));
    EXPECT_TRUE(feed.contains(R"(text="Not Available"  code="3200")"));
    EXPECT_TRUE(feed.contains(R"(humidity=""  visibility=""  pressure="")"));

    // Without the current temperature, its time, or two usable days there is no feed.
    const std::function<void(QJsonObject&)> fatal[] = {
        [](QJsonObject& r) {
            setIn(r, QStringLiteral("current"), QStringLiteral("temperature_2m"), QJsonValue::Null);
        },
        [](QJsonObject& r) {
            setIn(r, QStringLiteral("current"), QStringLiteral("time"), QJsonValue::Undefined);
        },
        [](QJsonObject& r) {
            setIn(r, QStringLiteral("current"), QStringLiteral("temperature_2m"), 1e300);
        },
        [](QJsonObject& r) { r.remove(QStringLiteral("daily")); },
        [](QJsonObject& r) {
            setIn(r, QStringLiteral("daily"), QStringLiteral("temperature_2m_max"),
                  QJsonArray{1, QJsonValue::Null, 3});
        },
        [](QJsonObject& r) { r.remove(QStringLiteral("current")); },
    };
    for (const auto& edit : fatal) {
        const ForecastReadResult read = readEdited(edit);
        EXPECT_FALSE(read.forecast.has_value());
        EXPECT_FALSE(read.error.isEmpty());
    }
}

TEST(ForecastReading, MalformedJsonIsAnError)
{
    for (const char* body : {"", "{", "[]", "null", "{\"current\":5}", "<html>busy</html>"}) {
        const ForecastReadResult read = readForecastJson(body, fixedClock);
        EXPECT_FALSE(read.forecast.has_value()) << body;
        EXPECT_FALSE(read.error.isEmpty()) << body;
    }
}

TEST(GeocodingReading, NoResultsKeyMeansNothingFound)
{
    const GeocodingReadResult none = readGeocodingSearchJson(R"({"generationtime_ms":0.5})");
    ASSERT_TRUE(none.places);
    EXPECT_TRUE(none.places->isEmpty());
    EXPECT_FALSE(readGeocodingSearchJson("{oops").places.has_value());
    EXPECT_FALSE(readGeocodingSearchJson(R"({"error":true,"reason":"bad"})").places.has_value());
}

TEST(GeocodingReading, UnusableEntriesAreSkipped)
{
    const GeocodingReadResult read = readGeocodingSearchJson(R"({"results":[
        {"id":1,"name":"No position"},
        {"id":null,"name":"No id","latitude":1,"longitude":2},
        {"id":2,"name":"Far","latitude":91,"longitude":2},
        {"id":3,"name":"  ","latitude":1,"longitude":2},
        {"id":1e12,"name":"Huge id","latitude":1,"longitude":2},
        {"id":4,"name":"No zone <&>","latitude":-1.5,"longitude":2.25,"country_code":"xx"}]})");
    ASSERT_TRUE(read.places);
    ASSERT_EQ(read.places->size(), 1);
    const Place& place = read.places->first();
    EXPECT_EQ(place.placeId, QStringLiteral("5000000004"));
    EXPECT_TRUE(place.timeZone.isEmpty());
    EXPECT_EQ(place.countryCode, QStringLiteral("XX"));
    // Names are escaped, and a place without a zone still gives a well-formed reply.
    const QByteArray reply = renderPlaceSearchDocument(*read.places, fixedClock);
    EXPECT_TRUE(reply.contains(
        R"(<locality1 type="Town" woeid="5000000004">No zone &lt;&amp;&gt;</locality1>)"));
    EXPECT_TRUE(reply.contains("<timezone/>"));
}

TEST(NominatimReading, EntriesAreNamedAfterFeatureOrPostcodeAndTheirTown)
{
    const GeocodingReadResult read = readNominatimJson(R"([
        {"osm_type":"node","osm_id":"17","lat":"1","lon":"2","name":"Old Mill",
         "address":{"village":"Lakeside","county":"Hennepin","country_code":"us"}},
        {"osm_type":"relation","osm_id":62422,"lat":52.5,"lon":13.4,"name":"Berlin",
         "address":{"city":"Berlin","country_code":"de"}},
        {"osm_type":"way","osm_id":5,"lat":"1","lon":"2","name":"","address":{"postcode":"10115"}},
        {"lat":"1","lon":"2","name":"","address":{"postcode":"10117","city":"Berlin"}},
        {"osm_type":"way","osm_id":6,"lat":"1","lon":"2","name":"","address":{"city":"X"}},
        {"osm_type":"area","osm_id":7,"lat":"1","lon":"2","name":"Odd"},
        {"osm_type":"node","osm_id":1e13,"lat":"1","lon":"2","name":"Huge id"},
        {"osm_type":"node","osm_id":8,"lat":"95","lon":"2","name":"Far"}])");
    ASSERT_TRUE(read.places);
    ASSERT_EQ(read.places->size(), 3);
    EXPECT_EQ(read.places->at(0).placeId, QStringLiteral("71000000000017"));
    EXPECT_EQ(read.places->at(0).name, QStringLiteral("Old Mill, Lakeside"));
    EXPECT_EQ(read.places->at(0).countryCode, QStringLiteral("US"));
    EXPECT_EQ(read.places->at(1).name, QStringLiteral("Berlin")); // not "Berlin, Berlin"
    EXPECT_EQ(read.places->at(2).name, QStringLiteral("10115"));

    ASSERT_TRUE(readNominatimJson("[]").places);
    EXPECT_TRUE(readNominatimJson("[]").places->isEmpty());
    EXPECT_FALSE(readNominatimJson(R"({"error":{"code":400,"message":"bad"}})").places);
    EXPECT_FALSE(readNominatimJson("[{").places);
}
