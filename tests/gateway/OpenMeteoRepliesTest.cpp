// The readers over replies recorded from the live service (tests/gateway/data/openmeteo, see
// its README for where each comes from), and the local times the source writes.
#include "FeedDocument.h"
#include "ForecastJsonReader.h"
#include "GatewayTestData.h"
#include "GeocodingJsonReader.h"
#include "PlaceSearchDocument.h"
#include "UpstreamRateLimit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::systemZones;
using brisora::gateway::test::testData;

namespace {

const QDateTime builtAt(QDate(2026, 11, 1), QTime(6, 35), Qt::UTC);

QByteArray recorded(const char* name)
{
    return testData(QStringLiteral("openmeteo/") + QLatin1String(name));
}

Place placeIn(const char* zone)
{
    Place place;
    place.placeId = QStringLiteral("5000000001");
    place.name = QStringLiteral("Somewhere");
    place.timeZone = QLatin1String(zone);
    return place;
}

/// `json` with a two-day daily block whose first day is `day`, rising and setting as given.
QByteArray withDays(const QByteArray& json, const char* day, const char* sunrise,
                    const char* sunset)
{
    QJsonObject root = QJsonDocument::fromJson(json).object();
    const QString first = QLatin1String(day);
    const QString second = QDate::fromString(first, Qt::ISODate).addDays(1).toString(Qt::ISODate);
    root.insert(QStringLiteral("daily"),
                QJsonObject{{"time", QJsonArray{first, second}},
                            {"weather_code", QJsonArray{0, 0}},
                            {"temperature_2m_max", QJsonArray{10, 11}},
                            {"temperature_2m_min", QJsonArray{1, 2}},
                            {"sunrise", QJsonArray{QLatin1String(sunrise), QLatin1String(sunrise)}},
                            {"sunset", QJsonArray{QLatin1String(sunset), QLatin1String(sunset)}}});
    return QJsonDocument(root).toJson();
}

/// A forecast as the source writes it: every time at the one offset of the request.
QByteArray forecastAt(const char* zone, int utcOffsetSeconds, const char* currentTime,
                      const char* sunrise, const char* sunset)
{
    const QJsonObject root{{"timezone", QLatin1String(zone)},
                           {"utc_offset_seconds", utcOffsetSeconds},
                           {"current", QJsonObject{{"time", QLatin1String(currentTime)},
                                                   {"temperature_2m", 5},
                                                   {"weather_code", 0}}}};
    return withDays(QJsonDocument(root).toJson(), QByteArray(currentTime).left(10).constData(),
                    sunrise, sunset);
}

QByteArray feedFrom(const QByteArray& json, const Place& place, Units units = Units::Metric)
{
    const ForecastReadResult read = readForecastJson(json, builtAt);
    EXPECT_TRUE(read.forecast) << read.error.toStdString();
    return read.forecast ? renderFeedDocument(place, *read.forecast, units, systemZones())
                         : QByteArray();
}

} // namespace

TEST(OpenMeteoReplies, RecordedForecastsReadOrFailCleanly)
{
    const QByteArray enschede =
        feedFrom(recorded("forecast_enschede_subset.frenck.json"), placeIn("Europe/Amsterdam"));
    EXPECT_TRUE(enschede.contains(R"(temp="18"  date="Sat, 03 Oct 2026 12:30 pm CEST" />)"));
    EXPECT_TRUE(enschede.contains(R"(sunrise="7:36 am"   sunset="7:05 pm")"));
    EXPECT_TRUE(enschede.contains(R"(pressure="1030.4")")); // at sea level, not the surface's
    EXPECT_TRUE(enschede.contains(R"(<yweather:forecast day="Mon" date="5 Oct 2026")"));

    // The other captures ask for current values only: no feed, and a reason why.
    for (const char* name :
         {"forecast_idaho_current_imperial.capture.json", "forecast_kyiv_current.capture.json",
          "forecast_newyork_current_hourly.capture.json"}) {
        const ForecastReadResult read = readForecastJson(recorded(name), builtAt);
        EXPECT_FALSE(read.forecast) << name;
        EXPECT_FALSE(read.error.isEmpty()) << name;
    }

    // Given days, the °F capture with its "mp/h", both pressures and is_day reads as asked.
    const QByteArray idaho =
        feedFrom(withDays(recorded("forecast_idaho_current_imperial.capture.json"), "2025-07-29",
                          "2025-07-29T12:30", "2025-07-30T03:50"),
                 placeIn("America/Los_Angeles"), Units::Imperial);
    EXPECT_TRUE(idaho.contains(R"(speed="5" />)"));
    EXPECT_TRUE(idaho.contains(R"(pressure="29.99")"));
    EXPECT_TRUE(idaho.contains(R"(date="Mon, 28 Jul 2025 5:00 pm PDT")"));

    // The source answers Kyiv with the zone's old name; the times still come out right.
    const QByteArray kyiv = feedFrom(withDays(recorded("forecast_kyiv_current.capture.json"),
                                              "2026-05-21", "2026-05-21T04:51", "2026-05-21T20:49"),
                                     placeIn(""));
    EXPECT_TRUE(kyiv.contains(R"(date="Thu, 21 May 2026 8:30 pm EEST")")) << kyiv.toStdString();
    EXPECT_TRUE(kyiv.contains(R"(text="Not Available"  code="3200")")); // no code asked
}

TEST(OpenMeteoReplies, RecordedSearchesRead)
{
    const GeocodingReadResult enschede =
        readGeocodingSearchJson(recorded("geocoding_search_enschede.frenck.json"));
    ASSERT_TRUE(enschede.places);
    ASSERT_EQ(enschede.places->size(), 2);
    EXPECT_EQ(enschede.places->at(0).placeId, QStringLiteral("5002756071"));
    EXPECT_EQ(enschede.places->at(1).population, 0); // the airport has none
    const QByteArray reply = renderPlaceSearchDocument(*enschede.places, builtAt);
    EXPECT_TRUE(reply.contains(R"(<placeTypeName code="14">Airport</placeTypeName>)"));
    EXPECT_TRUE(reply.contains("</results></query><!-- total: 2 -->"
                               "<!-- Location data based on GeoNames -->"));
    EXPECT_GT(reply.size(), 1000);

    const GeocodingReadResult byId =
        readGeocodedPlaceJson(recorded("geocoding_get_enschede.frenck.json"));
    ASSERT_TRUE(byId.places && byId.places->size() == 1);
    EXPECT_EQ(byId.places->first().country, QStringLiteral("Nederland"));

    const GeocodingReadResult empty =
        readGeocodingSearchJson(recorded("geocoding_search_empty.frenck.json"));
    ASSERT_TRUE(empty.places);
    EXPECT_TRUE(empty.places->isEmpty());

    // Fields left out: no country at all, no country name, no elevation.
    const GeocodingReadResult sparse =
        readGeocodingSearchJson(recorded("geocoding_search_missing_fields.frenck.json"));
    ASSERT_TRUE(sparse.places);
    ASSERT_EQ(sparse.places->size(), 3);
    EXPECT_TRUE(sparse.places->at(0).countryCode.isEmpty());
    EXPECT_EQ(sparse.places->at(1).name, QStringLiteral("\u00cele MacMurdo"));
    EXPECT_TRUE(renderPlaceSearchDocument(*sparse.places, builtAt)
                    .contains("<name>Antarctica</name><country/><admin1/><admin2/>"));

    // Raw UTF-8 names, and admin2 left out on some entries.
    const GeocodingReadResult angeles =
        readGeocodingSearchJson(recorded("geocoding_search_losangeles.capture.json"));
    ASSERT_TRUE(angeles.places);
    ASSERT_EQ(angeles.places->size(), 10);
    EXPECT_EQ(angeles.places->at(1).name, QStringLiteral("Los \u00c1ngeles"));
    EXPECT_TRUE(angeles.places->at(5).admin2.isEmpty());
    EXPECT_TRUE(renderPlaceSearchDocument(*angeles.places, builtAt)
                    .contains("<name>Los \xc3\x81ngeles</name>"));
}

TEST(OpenMeteoReplies, RateLimitRepliesSayHowLongToWait)
{
    const QDateTime at(QDate(2026, 12, 31), QTime(21, 53, 4), Qt::UTC);
    const struct
    {
        const char* file;
        RateLimitKind kind;
        QDateTime until;
    } cases[] = {
        {"forecast_429_concurrent.source.json", RateLimitKind::Concurrency, at.addSecs(1)},
        {"forecast_429_minutely.source.json", RateLimitKind::Minutely,
         QDateTime(at.date(), QTime(21, 54), Qt::UTC)},
        {"forecast_429_hourly.source.json", RateLimitKind::Hourly,
         QDateTime(at.date(), QTime(22, 0), Qt::UTC)},
        {"forecast_429_daily.source.json", RateLimitKind::Daily,
         QDateTime(QDate(2027, 1, 1), QTime(0, 0), Qt::UTC)},
        {"forecast_503_overloaded.source.json", RateLimitKind::Unknown, at.addSecs(60)},
    };
    for (const auto& limit : cases) {
        const RateLimitKind kind =
            rateLimitKindOf(recorded((std::string("errors/") + limit.file).c_str()));
        EXPECT_EQ(kind, limit.kind) << limit.file;
        EXPECT_EQ(rateLimitEnd(kind, std::nullopt, at, 3600), limit.until) << limit.file;
    }
    EXPECT_EQ(rateLimitKindOf("not json"), RateLimitKind::Unknown);
    // A Retry-After wins, within the longest wait allowed.
    EXPECT_EQ(rateLimitEnd(RateLimitKind::Daily, 120, at, 3600), at.addSecs(120));
    EXPECT_EQ(rateLimitEnd(RateLimitKind::Minutely, 99'999, at, 3600), at.addSecs(3600));
}

TEST(LocalTimes, BothSwitchesOfADaylightSavingZone)
{
    const Place chicago = placeIn("America/Chicago");
    // 01:30 CDT on the night clocks fall back: everything at that night's -5 h, though the
    // sun rises after the switch (6:22 am CST) and sets at 4:50 pm CST.
    const QByteArray fallBack = feedFrom(forecastAt("America/Chicago", -18000, "2026-11-01T01:30",
                                                    "2026-11-01T07:22", "2026-11-01T17:50"),
                                         chicago);
    EXPECT_TRUE(fallBack.contains(R"(date="Sun, 01 Nov 2026 1:30 am CDT" />)"));
    EXPECT_TRUE(fallBack.contains(R"(sunrise="6:22 am"   sunset="4:50 pm")"));
    EXPECT_TRUE(fallBack.contains(R"(<yweather:forecast day="Sun" date="1 Nov 2026")"));
    EXPECT_TRUE(fallBack.contains(R"(text="Clear"  code="31")")); // before sunrise
    EXPECT_TRUE(fallBack.contains("<lastBuildDate>Sun, 01 Nov 2026 1:35 am CDT</lastBuildDate>"));

    // 01:45 CST on the night clocks spring forward: -6 h, the sun up at 7:20 am CDT.
    const QByteArray springForward =
        feedFrom(forecastAt("America/Chicago", -21600, "2026-03-08T01:45", "2026-03-08T06:20",
                            "2026-03-08T18:09"),
                 chicago);
    EXPECT_TRUE(springForward.contains(R"(date="Sun, 08 Mar 2026 1:45 am CST" />)"));
    EXPECT_TRUE(springForward.contains(R"(sunrise="7:20 am"   sunset="7:09 pm")"));
    EXPECT_TRUE(springForward.contains(R"(<yweather:forecast day="Sun" date="8 Mar 2026")"));
}

TEST(LocalTimes, PolarNightAndDayHaveNoSunriseOrSunset)
{
    const Place tromso = placeIn("Europe/Oslo");
    // Polar night: local midnight for both, and night at noon.
    const QByteArray night = feedFrom(
        forecastAt("Europe/Oslo", 3600, "2026-12-20T12:00", "2026-12-20T00:00", "2026-12-20T00:00"),
        tromso);
    EXPECT_TRUE(night.contains(R"(<yweather:astronomy sunrise=""   sunset=""/>)"));
    EXPECT_TRUE(night.contains(R"(text="Clear"  code="31")"));
    // Polar day: midnight and the next midnight, and day at one in the morning.
    const QByteArray day = feedFrom(
        forecastAt("Europe/Oslo", 7200, "2026-06-20T01:00", "2026-06-20T00:00", "2026-06-21T00:00"),
        tromso);
    EXPECT_TRUE(day.contains(R"(<yweather:astronomy sunrise=""   sunset=""/>)"));
    EXPECT_TRUE(day.contains(R"(text="Sunny"  code="32")"));
}
