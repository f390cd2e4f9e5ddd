#include "FakeUpstream.h"
#include "GatewayTestData.h"
#include "OpenMeteoSource.h"
#include "ServiceTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <utility>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

const QByteArray forecastPath = "/v1/forecast";
const QByteArray searchPath = "/v1/search";
const QByteArray getPath = "/v1/get";
const char minneapolisId[] = "5005037649";
const QByteArray osmSearchPath = "/search";
const QByteArray osmLookupPath = "/lookup";
const char eiffelTowerId[] = "72000005013364";
const QByteArray geocoderFindsNothing = R"({"generationtime_ms":0.2})";

/// The live source against a fake upstream, with a clock the test moves by hand.
class UpstreamFaults : public ::testing::Test
{
protected:
    UpstreamFaults()
    {
        UpstreamClient::Limits limits;
        limits.timeout = 200ms; // the real limit is 10 s; the test must not wait that long
        limits.concurrencyRetryDelay = 50ms;
        GatewayClock clock = [this] { return now; };
        auto client = std::make_unique<UpstreamClient>(limits, "brisora-gateway/test", clock, log);
        QUrl forecastUrl = upstream.baseUrl();
        forecastUrl.setPath(QStringLiteral("/v1/forecast"));
        QUrl geocodingUrl = upstream.baseUrl();
        geocodingUrl.setPath(QStringLiteral("/v1/"));
        auto landmarks = std::make_unique<NominatimGeocoder>(
            std::make_unique<UpstreamClient>(limits, "brisora-gateway/test (+osm)", clock, log),
            nominatim.baseUrl(), clock);
        source = std::make_unique<OpenMeteoSource>(std::move(client), forecastUrl, geocodingUrl,
                                                   clock, std::move(landmarks));
        startService();
        upstream.setReply(searchPath, {200, testData(QStringLiteral("geocoding_search.json"))});
        upstream.setReply(getPath, {200, testData(QStringLiteral("geocoding_place.json"))});
        upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_metric.json"))});
        nominatim.setReply(osmSearchPath, {200, "[]"});
        nominatim.setReply(osmLookupPath, {200, "[]"});
    }

    /// A fresh service over the same cache folder, as after a restart.
    void startService()
    {
        places = std::make_unique<PlaceStore>(cacheDir.path());
        lastGood = std::make_unique<LastGoodStore>(cacheDir.path());
        service = std::make_unique<FeedService>(
            *source, *places, *lastGood, systemZones(), [this] { return now; }, timing, log);
    }

    /// The lines logged since the last call.
    QStringList takeLogged() { return std::exchange(logged, {}); }

    /// The metric forecast with another current temperature, to tell documents apart.
    static QByteArray forecastWithTemperature(const char* temperature)
    {
        QByteArray json = testData(QStringLiteral("forecast_metric.json"));
        return json.replace("\"temperature_2m\":-2.6",
                            QByteArray("\"temperature_2m\":") + temperature);
    }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC};
    FeedService::Timing timing{.sourceWait = 100ms};
    QStringList logged;
    GatewayLog log{[this](const QString& line) { logged.append(line); }};
    FakeUpstream upstream;
    FakeUpstream nominatim; // OpenStreetMap's geocoder
    QTemporaryDir cacheDir;
    std::unique_ptr<OpenMeteoSource> source;
    std::unique_ptr<PlaceStore> places;
    std::unique_ptr<LastGoodStore> lastGood;
    std::unique_ptr<FeedService> service;
};

} // namespace

TEST_F(UpstreamFaults, SearchThenFeedAreCachedAndAskOnlyTheTwoLookups)
{
    const GatewayReply found = ask(*service, searchRequest(QStringLiteral("Minneapolis")));
    EXPECT_EQ(found.status, 200);
    EXPECT_TRUE(found.body.contains("<woeid>5005037649</woeid>"));
    ask(*service, searchRequest(QStringLiteral("  minneapolis ")));
    EXPECT_EQ(upstream.requestCount(searchPath), 1);

    const GatewayReply feed = ask(*service, feedRequest(minneapolisId));
    EXPECT_EQ(feed.status, 200);
    EXPECT_TRUE(feed.body.contains("<title>Brisora Weather: Minneapolis, Minnesota</title>"));
    ask(*service, feedRequest(minneapolisId));
    now = now.addSecs(9 * 60);
    ask(*service, feedRequest(minneapolisId));
    EXPECT_EQ(upstream.requestCount(forecastPath), 1); // fresh for ten minutes
    EXPECT_EQ(upstream.requestCount(getPath), 0);      // the search already named the place

    // Past ten minutes the reply waits for the new document.
    upstream.setReply(forecastPath, {200, forecastWithTemperature("7.2")});
    now = now.addSecs(2 * 60);
    EXPECT_TRUE(ask(*service, feedRequest(minneapolisId)).body.contains(R"(temp="7")"));
    EXPECT_EQ(upstream.requestCount(forecastPath), 2);

    for (const QByteArray& head : upstream.heads()) {
        const QByteArray target = head.split(' ').value(1);
        EXPECT_TRUE(target.startsWith(forecastPath + '?') || target.startsWith(searchPath + '?'))
            << head.toStdString();
        EXPECT_TRUE(head.contains("\r\nUser-Agent: brisora-gateway/test\r\n"))
            << head.toStdString();
    }
    EXPECT_TRUE(upstream.heads().first().contains("count=10&language=en&format=json"));
    EXPECT_TRUE(upstream.heads().last().contains("timezone=auto"));
    EXPECT_TRUE(upstream.heads().last().contains("temperature_unit=celsius&wind_speed_unit=kmh"));
    EXPECT_TRUE(logged.isEmpty()) << "ordinary requests are not logged";
}

TEST_F(UpstreamFaults, PlacesSurviveARestartOnDisk)
{
    ask(*service, searchRequest(QStringLiteral("Minneapolis")));
    startService();
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("MINNEAPOLIS"))).status, 200);
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 200);
    EXPECT_EQ(upstream.requestCount(searchPath), 1);
    EXPECT_EQ(upstream.requestCount(getPath), 0);
}

TEST_F(UpstreamFaults, UnknownIdsAreLookedUpOnceThenCachedAsNotFound)
{
    upstream.setReply(getPath, {400, R"({"error":true,"reason":"Not found"})"});
    for (int retry = 0; retry < 3; ++retry) {
        const GatewayReply reply = ask(*service, feedRequest("5000000042"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.body.contains("<title>City not found</title>"));
    }
    EXPECT_EQ(upstream.requestCount(getPath), 1);
    // Ids outside the gateway's scheme never reach the source at all.
    EXPECT_TRUE(ask(*service, feedRequest("2459115")).body.contains("City not found"));
    EXPECT_EQ(upstream.heads().size(), 1);
}

TEST_F(UpstreamFaults, PlaceLookedUpByIdWhenNotKnownYet)
{
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId, Units::Imperial)).status, 200);
    EXPECT_EQ(upstream.requestCount(getPath), 1);
    EXPECT_TRUE(upstream.heads().first().contains("/v1/get?id=5037649"));
}

TEST_F(UpstreamFaults, FailuresServeTheLastGoodDocumentWithItsOwnDate)
{
    const GatewayReply good = ask(*service, feedRequest(minneapolisId));
    ASSERT_EQ(good.status, 200);
    ASSERT_TRUE(good.body.contains("<lastBuildDate>Tue, 08 Dec 2026 3:53 pm CST</lastBuildDate>"));

    const std::pair<FakeUpstream::Reply, QString> faults[] = {
        {{500, "oops"}, QStringLiteral("status 500")},
        {{400,
          testData(QStringLiteral("openmeteo/errors/forecast_400_unknown_variable.docs.json"))},
         QStringLiteral("status 400, reason \"Cannot initialize WeatherVariable from invalid "
                        "String value tempeture_2m for key hourly\"")},
        {{200, "{not json"}, QStringLiteral("unreadable reply: ")},
        {{200, R"({"current":{"time":null,"temperature_2m":null},"daily":{}})"},
         QStringLiteral("unreadable reply: ")},
        {{200, "{}", {}, true}, // never answers: the time limit ends it
         QStringLiteral("no answer within 200 ms")},
    };
    const QString failed =
        QStringLiteral("upstream %1/v1/forecast failed: ").arg(upstream.baseUrl().toString());
    takeLogged();
    for (const auto& [fault, failure] : faults) {
        upstream.setReply(forecastPath, fault);
        startService(); // nothing in memory: only the disk copy can answer
        now = now.addSecs(3600);
        const GatewayReply stale = ask(*service, feedRequest(minneapolisId));
        EXPECT_EQ(stale.status, 200) << fault.status;
        EXPECT_EQ(stale.body, good.body) << fault.body.toStdString();
        // The failure and the fallback are logged; a source that hangs is answered for
        // before it fails.
        EXPECT_TRUE(runUntil([&] { return !logged.filter(failed + failure).isEmpty(); }))
            << logged.join('\n').toStdString();
        EXPECT_TRUE(logged.first().startsWith(failed + failure) ||
                    logged.first().endsWith(QStringLiteral("as the source takes over 100 ms")))
            << logged.first().toStdString();
        EXPECT_FALSE(
            logged.filter(QStringLiteral("serving the last good feed of 5005037649 (u=c), "))
                .isEmpty())
            << logged.join('\n').toStdString();
        takeLogged();
    }
}

TEST_F(UpstreamFaults, FailureWithoutAnyCopyIsShortAndHeldBriefly)
{
    upstream.setReply(forecastPath, {500, "oops"});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    now = now.addSecs(20);
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    EXPECT_EQ(upstream.requestCount(forecastPath), 1);
    now = now.addSecs(20);
    upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_metric.json"))});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 200);
}

TEST_F(UpstreamFaults, SlowSourceAnswersWithTheOlderDocument)
{
    const GatewayReply good = ask(*service, feedRequest(minneapolisId));
    ASSERT_EQ(good.status, 200);
    upstream.setReply(forecastPath, {200, "{}", {}, true});
    now = now.addSecs(11 * 60);
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).body, good.body);
    EXPECT_EQ(source->forecastGate().inFlight(), 1); // answered while the source still works
}

TEST_F(UpstreamFaults, RateLimitClosesOnlyItsServiceForAsLongAsItsReasonSays)
{
    upstream.setReply(
        forecastPath,
        {429, testData(QStringLiteral("openmeteo/errors/forecast_429_minutely.source.json"))});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    EXPECT_TRUE(source->forecastGate().isClosed());
    const QString forecastService = upstream.baseUrl().toString() + QStringLiteral("/v1/forecast");
    EXPECT_EQ(takeLogged().join('\n').toStdString(),
              QStringList({QStringLiteral("upstream %1 failed: status 429, reason \"Minutely API "
                                          "request limit exceeded. Please try again in one "
                                          "minute.\"")
                               .arg(forecastService),
                           QStringLiteral("upstream back-off after a rate limit from %1: no "
                                          "requests until 2026-12-08T21:54:00Z")
                               .arg(forecastService)})
                  .join('\n')
                  .toStdString());
    // The geocoder said nothing of the kind and goes on.
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Paris"))).status, 200);
    EXPECT_FALSE(source->geocoderGate().isClosed());

    now = QDateTime(now.date(), QTime(21, 53, 59), Qt::UTC); // past the failure hold
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    EXPECT_EQ(upstream.requestCount(forecastPath), 1);
    EXPECT_TRUE(takeLogged().isEmpty()) << "requests not sent are not failures of the source";
    now = QDateTime(now.date(), QTime(21, 54, 0), Qt::UTC); // the next minute
    EXPECT_FALSE(source->forecastGate().isClosed());
    now = now.addSecs(30); // past the hold of the last failure
    upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_metric.json"))});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 200);
}

TEST_F(UpstreamFaults, EightPlacesAtOnceAllGetWeather)
{
    QJsonArray results;
    for (int n = 1; n <= 8; ++n)
        results.append(QJsonObject{{"id", 100 + n},
                                   {"name", QStringLiteral("Town %1").arg(n)},
                                   {"latitude", 40 + n},
                                   {"longitude", -90},
                                   {"timezone", "America/Chicago"}});
    upstream.setReply(searchPath, {200, QJsonDocument(QJsonObject{{"results", results}}).toJson()});
    ASSERT_EQ(ask(*service, searchRequest(QStringLiteral("Town"))).status, 200);

    // The service works on one request at a time and holds five; then, with others on the
    // same address holding all but one, it refuses many and the gateway asks again.
    upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_imperial.json"))});
    for (const int held : {5, 1}) {
        upstream.limitConcurrency(held, 20ms);
        const Units units = held == 5 ? Units::Metric : Units::Imperial;
        QList<int> statuses;
        for (int n = 1; n <= 8; ++n)
            service->handle(FeedRequest{QByteArray::number(5000000100LL + n), units},
                            [&statuses](GatewayReply reply) { statuses.append(reply.status); });
        EXPECT_TRUE(runUntil([&statuses] { return statuses.size() == 8; }, 5000)) << held;
        EXPECT_EQ(statuses, QList<int>(8, 200)) << held;
        EXPECT_LE(upstream.mostHeld(), 2);
    }
    EXPECT_GT(upstream.concurrencyRefusals(), 0);
}

TEST_F(UpstreamFaults, SearchFaultsAndEmptyResults)
{
    upstream.setReply(searchPath, {200, geocoderFindsNothing});
    const GatewayReply none = ask(*service, searchRequest(QStringLiteral("Atlantis")));
    EXPECT_EQ(none.status, 200);
    EXPECT_TRUE(none.body.contains("yahoo:count=\"0\""));
    EXPECT_TRUE(none.body.contains("<results/>"));

    for (const FakeUpstream::Reply& fault :
         {FakeUpstream::Reply{500, "x"}, FakeUpstream::Reply{200, "[1,"},
          FakeUpstream::Reply{200, "{}", {}, true}}) {
        upstream.setReply(searchPath, fault);
        now = now.addSecs(60);
        // OpenStreetMap's geocoder, asked instead, finds nothing: that is no answer for words
        // the first geocoder might have known, so the failure stands.
        EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Ruritania"))).status, 503);
    }
    // Its places found answer; its own failure leaves the failure.
    nominatim.setReplyFor(osmSearchPath, "q=Eiffel%20Tower&",
                          {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    EXPECT_TRUE(ask(*service, searchRequest(QStringLiteral("Eiffel Tower")))
                    .body.contains("<woeid>72000005013364</woeid>"));
    nominatim.setReply(osmSearchPath, {500, "x"});
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Big Ben"))).status, 503);
    EXPECT_EQ(nominatim.requestCount(osmSearchPath), 6); // "Atlantis" too
    EXPECT_EQ(ask(*service, searchRequest(QString())).body.contains("<results/>"), true);
}

TEST_F(UpstreamFaults, PlaceWithoutTimeZoneStillGetsLocalTimes)
{
    QByteArray search = testData(QStringLiteral("geocoding_search.json"));
    search.replace("\"timezone\":\"America/Chicago\",", "");
    upstream.setReply(searchPath, {200, search});
    const GatewayReply found = ask(*service, searchRequest(QStringLiteral("Minneapolis")));
    EXPECT_TRUE(found.body.contains("<timezone/>"));
    const GatewayReply feed = ask(*service, feedRequest(minneapolisId));
    EXPECT_TRUE(feed.body.contains("3:53 pm CST")); // the forecast's own zone
}

TEST_F(UpstreamFaults, ConcurrentRequestsShareOneUpstreamCall)
{
    upstream.setReply(searchPath, {200, testData(QStringLiteral("geocoding_search.json"))});
    int answered = 0;
    for (int client = 0; client < 5; ++client)
        service->handle(feedRequest(minneapolisId), [&answered](GatewayReply) { ++answered; });
    EXPECT_TRUE(runUntil([&answered] { return answered == 5; }));
    EXPECT_EQ(upstream.requestCount(getPath), 1);
    EXPECT_EQ(upstream.requestCount(forecastPath), 1);
}

TEST_F(UpstreamFaults, LandmarksAndPostcodesComeFromOpenStreetMapPoliteAndKeptForGood)
{
    upstream.setReply(searchPath, {200, geocoderFindsNothing});
    nominatim.setReplyFor(osmSearchPath, "q=Eiffel%20Tower&",
                          {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    nominatim.setReplyFor(osmSearchPath, "q=60610&",
                          {200, testData(QStringLiteral("nominatim_postcode.json"))});
    // Asked all at once, as by several clients; the same words twice share one request.
    std::map<QString, GatewayReply> replies;
    for (const char* words : {"Eiffel Tower", "60610", "Atlantis", " eiffel  TOWER"})
        service->handle(searchRequest(QLatin1String(words)), [&replies, words](GatewayReply r) {
            replies[QLatin1String(words)] = std::move(r);
        });
    ASSERT_TRUE(runUntil([&replies] { return replies.size() == 4; }, 8000));

    const QByteArray& tower = replies[QStringLiteral("Eiffel Tower")].body;
    EXPECT_TRUE(tower.contains("<woeid>72000005013364</woeid><placeTypeName code=\"7\">Town"
                               "</placeTypeName><name>Eiffel Tower, Paris</name>"
                               "<country code=\"FR\" type=\"Country\" woeid=\"\">France</country>"))
        << tower.toStdString();
    EXPECT_TRUE(tower.contains(">Eiffel Tower, Paris</locality1>"));
    EXPECT_TRUE(tower.contains("\u00a9 OpenStreetMap contributors"));
    EXPECT_EQ(replies[QStringLiteral(" eiffel  TOWER")].body, tower);
    const QByteArray& postcode = replies[QStringLiteral("60610")].body;
    EXPECT_TRUE(postcode.contains("<placeTypeName code=\"11\">Postal Code</placeTypeName>"
                                  "<name>60610, Chicago</name>"))
        << postcode.toStdString();
    EXPECT_TRUE(replies[QStringLiteral("Atlantis")].body.contains("<results/>"));

    const GatewayReply feed = ask(*service, feedRequest(eiffelTowerId));
    EXPECT_TRUE(feed.body.contains("<title>Brisora Weather: Eiffel Tower, Paris</title>"));
    EXPECT_TRUE(feed.body.contains("city=\"Eiffel Tower, Paris\" region=\"Ile-de-France\"   "
                                   "country=\"FR\""));
    EXPECT_TRUE(feed.body.contains("re-laid-out by Brisora. Place data \u00a9 "
                                   "OpenStreetMap contributors (ODbL)"));
    EXPECT_TRUE(upstream.heads().last().contains("latitude=48.8583&longitude=2.2945&"));
    EXPECT_TRUE(upstream.heads().last().contains("timezone=auto"));

    // Found or not, the answers outlive a restart: the same words never ask twice.
    startService();
    for (const char* words : {"EIFFEL TOWER", "atlantis ", "60610"})
        EXPECT_EQ(ask(*service, searchRequest(QLatin1String(words))).status, 200);
    ASSERT_EQ(nominatim.heads().size(), 3);
    EXPECT_EQ(std::count_if(nominatim.heads().cbegin(), nominatim.heads().cend(),
                            [](const QByteArray& head) {
                                return head.startsWith(
                                    "GET /search?q=Eiffel%20Tower&format=jsonv2&addressdetails=1&"
                                    "limit=5&accept-language=en HTTP/1.1\r\n");
                            }),
              1);
    for (qsizetype i = 0; i < nominatim.heads().size(); ++i) {
        EXPECT_TRUE(nominatim.heads()[i].contains("\r\nUser-Agent: brisora-gateway/test (+osm)"));
        if (i > 0) {
            EXPECT_GE(nominatim.arrivalsMs()[i] - nominatim.arrivalsMs()[i - 1], 1000) << i;
        }
    }
}

TEST_F(UpstreamFaults, OpenStreetMapPlaceLookedUpByIdOnceTheCacheIsGone)
{
    nominatim.setReplyFor(osmLookupPath, "osm_ids=W5013364&",
                          {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    const GatewayReply feed = ask(*service, feedRequest(eiffelTowerId));
    EXPECT_TRUE(feed.body.contains("<title>Brisora Weather: Eiffel Tower, Paris</title>"));
    EXPECT_TRUE(nominatim.heads().value(0).startsWith(
        "GET /lookup?osm_ids=W5013364&format=jsonv2&addressdetails=1&accept-language=en "));
    // A rate limit is not remembered past the brief hold of a failure.
    nominatim.setReply(osmSearchPath, {429, "{}", "Retry-After: 5\r\n"});
    upstream.setReply(searchPath, {200, geocoderFindsNothing});
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Big Ben"))).status, 503);
    now = now.addSecs(31);
    nominatim.setReply(osmSearchPath, {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Big Ben"))).status, 200);
    EXPECT_EQ(nominatim.requestCount(osmSearchPath), 2);
}
