// MET Norway's recorded replies (tests/gateway/data/metno, see its SOURCES.md) through the
// reader and the forecast built from them into the feed, and two replies derived from them
// for a daylight-saving switch and a polar night.
#include "FeedDocument.h"
#include "GatewayTestData.h"
#include "LocalTimeFormat.h"
#include "MetNorwayForecast.h"
#include "MetNorwayJsonReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::expectMatchesGolden;
using brisora::gateway::test::systemZones;
using brisora::gateway::test::testData;

namespace {

QByteArray recorded(const char* name)
{
    const QByteArray bytes = testData(QStringLiteral("metno/") + QLatin1String(name));
    // Some were recorded wrapped, with the reply's headers beside its document.
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    if (root.contains(QLatin1String("status_code")))
        return QJsonDocument(root.value(QLatin1String("data")).toObject()).toJson();
    return bytes;
}

Place place(const char* id, const char* name, const char* admin1, const char* country,
            const char* zone, double latitude, double longitude)
{
    Place place;
    place.placeId = QLatin1String(id);
    place.name = QString::fromUtf8(name);
    place.admin1 = QString::fromUtf8(admin1);
    place.countryCode = QLatin1String(country);
    place.timeZone = QLatin1String(zone);
    place.latitude = latitude;
    place.longitude = longitude;
    return place;
}

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

/// The feed of `reply` for `where` at `now`, fetched then, with no earlier copies.
QByteArray feedOf(const QByteArray& reply, const Place& where, const QDateTime& now, Units units,
                  const QList<PastHour>& pastHours = {})
{
    const MetNorwayReadResult read = readMetNorwayJson(reply);
    EXPECT_TRUE(read.steps) << read.error.toStdString();
    if (!read.steps)
        return {};
    const std::shared_ptr<const ZoneRules> zone = placeZone(systemZones(), where.timeZone, 0);
    const ForecastReadResult built =
        buildMetNorwayForecast(*read.steps, pastHours, where, *zone, now, now, units);
    EXPECT_TRUE(built.forecast) << built.error.toStdString();
    return built.forecast ? renderFeedDocument(where, *built.forecast, units, systemZones())
                          : QByteArray();
}

const Place moscow = place("5000524901", "Moscow", "Moscow", "RU", "Europe/Moscow", 55.75, 37.62);
const Place newYork =
    place("5005128581", "New York", "New York", "US", "America/New_York", 40.7, -74.0);

} // namespace

TEST(MetNorwayReplies, RecordedRepliesGiveTheFeed)
{
    const Place trondheim =
        place("5003133880", "Trondheim", "Tr\xc3\xb8ndelag", "NO", "Europe/Oslo", 63.43, 10.4);
    const struct
    {
        const char* reply;
        Place where;
        QDateTime now;
        Units units;
        const char* golden;
    } cases[] = {
        {"compact_moscow_2026-06-26.json", moscow, utc(2026, 6, 26, 13, 20), Units::Metric,
         "metno_moscow_metric.xml"},
        {"compact_moscow_2026-06-26.json", moscow, utc(2026, 6, 26, 13, 20), Units::Imperial,
         "metno_moscow_imperial.xml"},
        {"compact_newyork_2020-07-20_wrapped_with_headers.json", newYork,
         utc(2020, 7, 20, 11, 44, 31), Units::Imperial, "metno_newyork_imperial.xml"},
        {"complete_trondheim_2026-07-18.json", trondheim, utc(2026, 7, 18, 7, 28, 43),
         Units::Metric, "metno_trondheim_metric.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        expectMatchesGolden(feedOf(recorded(c.reply), c.where, c.now, c.units),
                            QString::fromLatin1(c.golden));
    }
}

TEST(MetNorwayReplies, TodayOfTwentyFiveHoursWhenClocksFallBack)
{
    // New York's series moved to start at 01:00 EDT on the night clocks go back at 02:00 EDT;
    // 23:00 EST that evening (04:00 UTC the next day), the day's 25th hour, was made 40 degrees.
    const QByteArray feed = feedOf(recorded("derived_dst_newyork_2026-11-01.json"), newYork,
                                   utc(2026, 11, 1, 5, 20), Units::Metric);
    EXPECT_TRUE(feed.contains(R"(date="Sun, 01 Nov 2026 1:00 am EDT" />)"));
    EXPECT_TRUE(
        feed.contains(R"(<yweather:forecast day="Sun" date="1 Nov 2026" low="23" high="40")"));
    EXPECT_TRUE(feed.contains(R"(<yweather:forecast day="Mon" date="2 Nov 2026")"));
    EXPECT_TRUE(feed.contains(R"(sunrise="6:26 am"   sunset="4:52 pm")"));
    // An hour later the clocks show 1:00 again, now in standard time.
    const QByteArray later = feedOf(recorded("derived_dst_newyork_2026-11-01.json"), newYork,
                                    utc(2026, 11, 1, 6, 20), Units::Metric);
    EXPECT_TRUE(later.contains(R"(date="Sun, 01 Nov 2026 1:00 am EST" />)"));
}

TEST(MetNorwayReplies, PolarNightHasNoSunAndNightLooks)
{
    // Trondheim's series moved to Tromso in December, 20 degrees colder, its daytime symbols
    // made polar twilight.
    const Place tromso =
        place("5003133172", "Troms\xc3\xb8", "Troms", "NO", "Europe/Oslo", 69.6492, 18.9553);
    const QByteArray feed = feedOf(recorded("derived_polar_tromso_2026-12-18.json"), tromso,
                                   utc(2026, 12, 18, 11, 10), Units::Metric);
    EXPECT_TRUE(feed.contains(R"(<yweather:astronomy sunrise=""   sunset=""/>)"))
        << feed.toStdString();
    // Noon's "partlycloudy_polartwilight", at -4.4 degrees with 4.1 m/s of wind.
    EXPECT_TRUE(feed.contains(R"(text="Partly Cloudy"  code="29"  temp="-4")"));
    EXPECT_TRUE(feed.contains(R"(<yweather:wind chill="-10"   direction="329"   speed="15" />)"));
    EXPECT_TRUE(feed.contains(R"(visibility=""  pressure="1015.4")"));
}

TEST(MetNorwayReplies, EarlierCopiesKeepTheDaysPastHours)
{
    // Moscow at 22:00 local, from a copy starting then: the afternoon is only in the earlier
    // copy, whose hours before the new start are kept.
    const MetNorwayReadResult morning =
        readMetNorwayJson(recorded("compact_moscow_2026-06-26.json"));
    ASSERT_TRUE(morning.steps);
    QList<MetNorwayStep> evening = *morning.steps;
    const QDateTime eveningStart = utc(2026, 6, 26, 19, 0);
    while (evening.first().time < eveningStart)
        evening.removeFirst();
    const QList<PastHour> kept =
        pastHoursBefore(*morning.steps, {}, eveningStart, eveningStart.addDays(-2));
    ASSERT_EQ(kept.size(), 6); // 13:00 to 18:00 UTC

    const std::shared_ptr<const ZoneRules> zone = placeZone(systemZones(), moscow.timeZone, 0);
    const auto todaysHigh = [&](const QList<PastHour>& past) {
        const ForecastReadResult built = buildMetNorwayForecast(
            evening, past, moscow, *zone, eveningStart, eveningStart, Units::Metric);
        EXPECT_TRUE(built.forecast) << built.error.toStdString();
        return built.forecast ? built.forecast->days.first().high : 0;
    };
    EXPECT_DOUBLE_EQ(todaysHigh(kept), 18.0); // 13:00 UTC's
    EXPECT_DOUBLE_EQ(todaysHigh({}), 15.2);   // 19:00 UTC's, the evening's first
}
