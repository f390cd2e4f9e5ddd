#include "FakeUpstream.h"
#include "GatewayTestData.h"
#include "OpenMeteoSource.h"
#include "ServiceTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

const QByteArray forecastPath = "/v1/forecast";
const QByteArray searchPath = "/v1/search";
const QByteArray getPath = "/v1/get";
const char minneapolisId[] = "5005037649";

/// The live source against a fake upstream, with a clock the test moves by hand.
class UpstreamFaults : public ::testing::Test
{
protected:
    UpstreamFaults()
    {
        UpstreamClient::Limits limits;
        limits.timeout = 200ms; // the real limit is 10 s; the test must not wait that long
        GatewayClock clock = [this] { return now; };
        auto client = std::make_unique<UpstreamClient>(limits, "brisora-gateway/test", clock, log);
        QUrl forecastUrl = upstream.baseUrl();
        forecastUrl.setPath(QStringLiteral("/v1/forecast"));
        QUrl geocodingUrl = upstream.baseUrl();
        geocodingUrl.setPath(QStringLiteral("/v1/"));
        source =
            std::make_unique<OpenMeteoSource>(std::move(client), forecastUrl, geocodingUrl, clock);
        startService();
        upstream.setReply(searchPath, {200, testData(QStringLiteral("geocoding_search.json"))});
        upstream.setReply(getPath, {200, testData(QStringLiteral("geocoding_place.json"))});
        upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_metric.json"))});
    }

    /// A fresh service over the same cache folder, as after a restart.
    void startService()
    {
        places = std::make_unique<PlaceStore>(cacheDir.path());
        lastGood = std::make_unique<LastGoodStore>(cacheDir.path());
        service = std::make_unique<FeedService>(
            *source, *places, *lastGood, [this] { return now; }, FeedService::Timing{}, log);
    }

    /// The lines logged since the last call.
    QStringList takeLogged() { return std::exchange(logged, {}); }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC};
    QStringList logged;
    GatewayLog log{[this](const QString& line) { logged.append(line); }};
    FakeUpstream upstream;
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

    // Past ten minutes the old document answers at once while a new one is fetched.
    now = now.addSecs(2 * 60);
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).body, feed.body);
    EXPECT_TRUE(runUntil([this] { return upstream.requestCount(forecastPath) == 2; }));

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
        {{500, "oops"}, QStringLiteral("failed: status 500")},
        {{400, R"({"reason":"Cannot initialize WeatherVariable from invalid String value",)"
               R"("error":true})"},
         QStringLiteral("failed: status 400, reason \"Cannot initialize WeatherVariable from "
                        "invalid String value\"")},
        {{200, "{not json"}, QStringLiteral("failed: unreadable reply: ")},
        {{200, R"({"current":{"time":null,"temperature_2m":null},"daily":{}})"},
         QStringLiteral("failed: unreadable reply: ")},
        {{200, "{}", {}, true}, // never answers: the time limit ends it
         QStringLiteral("failed: no answer within 200 ms")},
    };
    const QString forecastService = upstream.baseUrl().toString() + QStringLiteral("/v1/forecast ");
    takeLogged();
    for (const auto& [fault, failure] : faults) {
        upstream.setReply(forecastPath, fault);
        startService(); // nothing in memory: only the disk copy can answer
        now = now.addSecs(3600);
        const GatewayReply stale = ask(*service, feedRequest(minneapolisId));
        EXPECT_EQ(stale.status, 200) << fault.status;
        EXPECT_EQ(stale.body, good.body) << fault.body.toStdString();
        const QStringList lines = takeLogged();
        ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("upstream ") + forecastService + failure))
            << lines[0].toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("serving the last good feed of 5005037649 "
                                           "(Minneapolis, u=c), from disk, after an upstream "
                                           "failure"));
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

TEST_F(UpstreamFaults, RateLimitIsRespected)
{
    upstream.setReply(forecastPath,
                      {429,
                       R"({"reason":"Minutely API request limit exceeded. Please try again in )"
                       R"(one minute.","error":true})",
                       "Retry-After: 120\r\n"});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    EXPECT_TRUE(source->client().isBackingOff());
    const QString forecastService = upstream.baseUrl().toString() + QStringLiteral("/v1/forecast");
    EXPECT_EQ(takeLogged(),
              QStringList({QStringLiteral("upstream %1 failed: status 429, reason \"Minutely API "
                                          "request limit exceeded. Please try again in one "
                                          "minute.\"")
                               .arg(forecastService),
                           QStringLiteral("upstream back-off after a rate limit from %1: no "
                                          "requests for 120 s, until 2026-12-08T21:55:04Z")
                               .arg(forecastService)}));
    now = now.addSecs(60); // past the failure hold, still inside Retry-After
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 503);
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Paris"))).status, 503);
    EXPECT_EQ(upstream.requestCount(forecastPath), 1);
    EXPECT_EQ(upstream.requestCount(searchPath), 0);
    EXPECT_TRUE(takeLogged().isEmpty()) << "requests not sent are not failures of the source";

    now = now.addSecs(61);
    upstream.setReply(forecastPath, {200, testData(QStringLiteral("forecast_metric.json"))});
    EXPECT_EQ(ask(*service, feedRequest(minneapolisId)).status, 200);
    EXPECT_FALSE(source->client().isBackingOff());
}

TEST_F(UpstreamFaults, SearchFaultsAndEmptyResults)
{
    upstream.setReply(searchPath, {200, R"({"generationtime_ms":0.2})"});
    const GatewayReply none = ask(*service, searchRequest(QStringLiteral("Atlantis")));
    EXPECT_EQ(none.status, 200);
    EXPECT_TRUE(none.body.contains("yahoo:count=\"0\""));
    EXPECT_TRUE(none.body.contains("<results/>"));

    for (const FakeUpstream::Reply& fault :
         {FakeUpstream::Reply{500, "x"}, FakeUpstream::Reply{200, "[1,"},
          FakeUpstream::Reply{200, "{}", {}, true}}) {
        upstream.setReply(searchPath, fault);
        now = now.addSecs(60);
        EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Ruritania"))).status, 503);
    }
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
