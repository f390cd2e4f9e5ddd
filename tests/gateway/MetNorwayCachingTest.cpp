// MET Norway's source against a fake on loopback: what it asks, when, and what it keeps.
#include "DemoSource.h"
#include "FakeUpstream.h"
#include "GatewayTestData.h"
#include "MetNorwaySource.h"
#include "ServiceTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

const QByteArray compactPath = "/weatherapi/locationforecast/2.0/compact";
const QByteArray lastModified = "Fri, 26 Jun 2026 13:14:31 GMT";

class MetNorwayCaching : public ::testing::Test
{
protected:
    MetNorwayCaching()
    {
        moscow.placeId = QStringLiteral("5000524901");
        moscow.name = QStringLiteral("Moscow");
        moscow.timeZone = QStringLiteral("Europe/Moscow");
        moscow.latitude = 55.75582;
        moscow.longitude = 37.61729;
        moscow.elevation = 144.4;
        restart();
    }

    /// A new source over the same cache folder, as after the gateway's idle exit.
    void restart()
    {
        source.reset();
        copies = std::make_unique<ForecastCopyStore>(cacheDir.path());
        UpstreamClient::Limits limits;
        limits.timeout = 500ms;
        const GatewayClock clock = [this] { return now; };
        QUrl url = upstream.baseUrl();
        url.setPath(QStringLiteral("/weatherapi/locationforecast/2.0/"));
        source = std::make_unique<MetNorwaySource>(
            std::make_unique<UpstreamClient>(MetNorwaySource::clientLimits(limits),
                                             "brisora-gateway/test (+https://brisora.org)", clock,
                                             log),
            url, &places, *copies, systemZones(), clock, log);
    }

    ForecastFetch fetch(Units units = Units::Metric)
    {
        std::optional<ForecastFetch> result;
        source->fetchForecast(moscow, units, [&result](ForecastFetch f) { result = std::move(f); });
        runUntil([&result] { return result.has_value(); });
        return result.value_or(ForecastFetch{std::nullopt, QStringLiteral("no answer"), {}, {}});
    }

    void at(int hour, int minute)
    {
        now = QDateTime(QDate(2026, 6, 26), QTime(hour, minute), Qt::UTC);
    }

    int asked() const { return upstream.requestCount(compactPath); }
    QByteArray lastHead() const { return upstream.heads().last(); }

    QDateTime now;
    QStringList logged;
    GatewayLog log{[this](const QString& line) { logged.append(line); }};
    FakeUpstream upstream;
    QTemporaryDir cacheDir;
    DemoSource places{systemClock(), systemZones()}; // not asked: MET's place comes with it
    Place moscow;
    std::unique_ptr<ForecastCopyStore> copies;
    std::unique_ptr<MetNorwaySource> source;
};

} // namespace

TEST_F(MetNorwayCaching, KeptUntilExpiresThenRevalidated)
{
    // MET's reply as it comes: gzip, and its cache headers.
    upstream.setReply(compactPath,
                      {200, testData(QStringLiteral("metno/compact_moscow_2026-06-26.json.gz")),
                       "Content-Encoding: gzip\r\nExpires: Fri, 26 Jun 2026 13:50:00 GMT\r\n"
                       "Last-Modified: " +
                           lastModified + "\r\n"});
    at(13, 20);
    const ForecastFetch first = fetch();
    ASSERT_TRUE(first.forecast) << first.error.toStdString();
    EXPECT_DOUBLE_EQ(first.forecast->current.temperature, 18.0);
    EXPECT_TRUE(lastHead().startsWith(
        "GET /weatherapi/locationforecast/2.0/compact?lat=55.7558&lon=37.6172&altitude=144 "))
        << lastHead().toStdString();
    EXPECT_TRUE(
        lastHead().contains("\r\nUser-Agent: brisora-gateway/test (+https://brisora.org)\r\n"));
    EXPECT_TRUE(lastHead().contains("gzip"));
    EXPECT_FALSE(lastHead().contains("If-Modified-Since"));

    // Not asked again before Expires, in either units, nor after a restart (the copy is on disk).
    at(13, 40);
    EXPECT_TRUE(fetch(Units::Imperial).forecast);
    restart();
    at(13, 49);
    EXPECT_TRUE(fetch().forecast);
    EXPECT_EQ(asked(), 1);

    // After Expires: asked whether it changed, with MET's own Last-Modified; a 304 keeps the
    // copy and moves Expires.
    upstream.setReply(compactPath, {304, {}, "Expires: Fri, 26 Jun 2026 14:30:00 GMT\r\n"});
    at(13, 51);
    const ForecastFetch confirmed = fetch();
    ASSERT_TRUE(confirmed.forecast) << confirmed.error.toStdString();
    EXPECT_EQ(confirmed.forecast->builtAt, now); // confirmed now
    EXPECT_EQ(asked(), 2);
    EXPECT_TRUE(lastHead().contains("\r\nIf-Modified-Since: " + lastModified + "\r\n"))
        << lastHead().toStdString();
    at(14, 29);
    EXPECT_TRUE(fetch().forecast);
    EXPECT_EQ(asked(), 2);

    // A newer document starts at the evening's hour: the afternoon it no longer holds still
    // counts for today's high (18 degrees at 13:00 UTC, against 15.2 from 19:00 on).
    QJsonObject evening =
        QJsonDocument::fromJson(testData(QStringLiteral("metno/compact_moscow_2026-06-26.json")))
            .object();
    QJsonObject properties = evening.value(QLatin1String("properties")).toObject();
    QJsonArray series = properties.value(QLatin1String("timeseries")).toArray();
    while (series.first().toObject().value(QLatin1String("time")).toString() <
           QLatin1String("2026-06-26T19"))
        series.removeFirst();
    properties.insert(QStringLiteral("timeseries"), series);
    evening.insert(QStringLiteral("properties"), properties);
    upstream.setReply(compactPath, {200, QJsonDocument(evening).toJson(),
                                    "Expires: Fri, 26 Jun 2026 19:40:00 GMT\r\n"});
    at(19, 10);
    restart();
    const ForecastFetch late = fetch();
    ASSERT_TRUE(late.forecast) << late.error.toStdString();
    EXPECT_EQ(asked(), 3);
    EXPECT_DOUBLE_EQ(late.forecast->days.first().high, 18.0);
    restart(); // the kept hours are on disk beside the document
    at(19, 20);
    const ForecastFetch later = fetch();
    ASSERT_TRUE(later.forecast);
    EXPECT_DOUBLE_EQ(later.forecast->days.first().high, 18.0);
    EXPECT_EQ(asked(), 3);
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(MetNorwayCaching, RateLimitsAndRefusalsHoldMetOff)
{
    Place west;
    west.latitude = -74.00597;
    west.longitude = 10;
    EXPECT_EQ(MetNorwaySource::coordinatesQuery(west), QStringLiteral("lat=-74.0059&lon=10"));

    // A 429 without Retry-After: ten minutes, and each failure says until when.
    upstream.setReply(compactPath, {429, "Too Many Requests"});
    at(13, 20);
    const QDateTime tenMinutesOn = now.addSecs(600);
    EXPECT_EQ(fetch().failure, ForecastFetch::Failure::RateLimited);
    at(13, 29);
    const ForecastFetch held = fetch();
    EXPECT_EQ(held.failure, ForecastFetch::Failure::RateLimited);
    EXPECT_EQ(held.closedUntil, tenMinutesOn);
    EXPECT_EQ(asked(), 1);

    // With Retry-After as a date: until then.
    upstream.setReply(compactPath,
                      {429, "Too Many Requests", "Retry-After: Fri, 26 Jun 2026 13:33:00 GMT\r\n"});
    at(13, 31);
    fetch();
    at(13, 32);
    fetch();
    EXPECT_EQ(asked(), 2);

    // A 403: the identification refused, said so, and an hour without asking.
    upstream.setReply(compactPath, {403, "Forbidden"});
    at(13, 34);
    EXPECT_EQ(fetch().failure, ForecastFetch::Failure::Refused);
    const QDateTime anHourOn = now.addSecs(3600);
    at(14, 33);
    const ForecastFetch refused = fetch();
    EXPECT_EQ(refused.failure, ForecastFetch::Failure::Refused);
    EXPECT_EQ(refused.closedUntil, anHourOn);
    EXPECT_EQ(asked(), 3);
    EXPECT_EQ(logged.filter(QStringLiteral("refused the gateway's identification")).size(), 1);

    // A 203 is used, and logged once; a 5xx fails as the server's.
    upstream.setReply(compactPath,
                      {203, testData(QStringLiteral("metno/compact_moscow_2026-06-26.json"))});
    at(14, 35);
    EXPECT_TRUE(fetch().forecast);
    at(14, 36);
    EXPECT_TRUE(fetch().forecast); // no Expires: asked again
    EXPECT_EQ(asked(), 5);
    EXPECT_EQ(logged.filter(QStringLiteral("203")).size(), 1);
    upstream.setReply(compactPath, {503, "Service Unavailable"});
    at(14, 37);
    EXPECT_EQ(fetch().failure, ForecastFetch::Failure::ServerError);
}
