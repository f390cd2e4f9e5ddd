#include "FailoverSource.h"
#include "ForecastJsonReader.h"
#include "GatewayTestData.h"
#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

const char placeId[] = "5005037649";

/// A source that does what the test says: answers at once with a forecast of its own
/// temperature or with a failure, or keeps the call for the test to answer.
class FakeSource : public WeatherSource
{
public:
    explicit FakeSource(GatewayClock clock) : m_clock(std::move(clock)) {}

    void searchPlaces(const QString&, std::function<void(PlaceLookup)> done) override
    {
        done(places);
    }
    void lookupPlace(const PlaceId&, std::function<void(PlaceLookup)> done) override
    {
        done(places);
    }
    void fetchForecast(const Place&, Units, std::function<void(ForecastFetch)> done) override
    {
        ++asked;
        if (hangs)
            held.append(std::move(done));
        else
            done(failure ? *failure : forecast());
    }
    bool keepsPlacesOnDisk() const override { return true; }

    ForecastFetch forecast() const
    {
        ForecastReadResult read =
            readForecastJson(testData(QStringLiteral("forecast_metric.json")), m_clock());
        read.forecast->current.temperature = temperature;
        return ForecastFetch{std::move(read.forecast), {}, {}, {}};
    }
    void fail(ForecastFetch::Failure kind, QDateTime closedUntil = {})
    {
        hangs = false;
        failure =
            ForecastFetch{std::nullopt, QStringLiteral("it broke"), kind, std::move(closedUntil)};
    }
    void heal()
    {
        hangs = false;
        failure.reset();
    }

    double temperature = 0;
    bool hangs = false;
    std::optional<ForecastFetch> failure;
    PlaceLookup places{PlaceLookup::Outcome::Found, {minneapolis()}, {}};
    int asked = 0;
    QList<std::function<void(ForecastFetch)>> held;

    static Place minneapolis()
    {
        Place place;
        place.placeId = QLatin1String(placeId);
        place.name = QStringLiteral("Minneapolis");
        place.countryCode = QStringLiteral("US");
        place.timeZone = QStringLiteral("America/Chicago");
        place.latitude = 44.98;
        place.longitude = -93.26;
        return place;
    }

private:
    GatewayClock m_clock;
};

/// Two fake sources behind the failover, behind the feed service, all at their real timing;
/// the clock moves by hand.
class Failover : public ::testing::Test
{
protected:
    Failover() { build(); }

    void build(FailoverSource::Timing timing = {})
    {
        service.reset();
        const GatewayClock clock = [this] { return now; };
        auto firstSource = std::make_unique<FakeSource>(clock);
        auto secondSource = std::make_unique<FakeSource>(clock);
        first = firstSource.get();
        second = secondSource.get();
        first->temperature = 1;
        second->temperature = 7;
        source = std::make_unique<FailoverSource>(
            FailoverSource::Member{std::move(firstSource), QStringLiteral("one")},
            FailoverSource::Member{std::move(secondSource), QStringLiteral("two")}, clock, log,
            timing);
        cacheDir = std::make_unique<QTemporaryDir>();
        places = std::make_unique<PlaceStore>(cacheDir->path());
        lastGood = std::make_unique<LastGoodStore>(cacheDir->path());
        service = std::make_unique<FeedService>(*source, *places, *lastGood, systemZones(), clock,
                                                FeedService::Timing{}, log);
    }

    /// The feed's current temperature, as the document says it.
    static QByteArray temperatureOf(const GatewayReply& reply)
    {
        const qsizetype at = reply.body.indexOf("temp=\"");
        return at < 0 ? QByteArray::number(reply.status)
                      : reply.body.mid(at + 6, reply.body.indexOf('"', at + 6) - at - 6);
    }

    /// Asks the failover itself for a forecast; the temperature it answered with, or NAN.
    double forecastNow()
    {
        std::optional<ForecastFetch> fetch;
        source->fetchForecast(FakeSource::minneapolis(), Units::Metric,
                              [&fetch](ForecastFetch answer) { fetch = std::move(answer); });
        runUntil([&fetch] { return fetch.has_value(); });
        return fetch && fetch->forecast ? fetch->forecast->current.temperature : NAN;
    }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC};
    QStringList logged;
    GatewayLog log{[this](const QString& line) { logged.append(line); }};
    FakeSource* first = nullptr;
    FakeSource* second = nullptr;
    std::unique_ptr<FailoverSource> source;
    std::unique_ptr<QTemporaryDir> cacheDir;
    std::unique_ptr<PlaceStore> places;
    std::unique_ptr<LastGoodStore> lastGood;
    std::unique_ptr<FeedService> service;
};

} // namespace

TEST_F(Failover, SecondAnswersWithinTheWidgetsAttemptWhateverTheFirstsFault)
{
    enum class Fault
    {
        Refused,
        ServerError,
        RateLimited,
        Hangs,
        Rejected, // a 4xx for this one request: the second answers it, nothing switches
    };
    for (const Fault fault :
         {Fault::Refused, Fault::ServerError, Fault::RateLimited, Fault::Hangs, Fault::Rejected}) {
        for (const bool olderAtHand : {false, true}) {
            SCOPED_TRACE(testing::Message() << "fault " << int(fault) << ", older " << olderAtHand);
            build();
            logged.clear();
            if (olderAtHand) {
                ASSERT_EQ(temperatureOf(ask(*service, feedRequest(placeId))), "1");
                now = now.addSecs(11 * 60); // past fresh, still at hand
            }
            switch (fault) {
            case Fault::Refused:
                first->fail(ForecastFetch::Failure::Unreachable);
                break;
            case Fault::ServerError:
                first->fail(ForecastFetch::Failure::ServerError);
                break;
            case Fault::Rejected:
                first->fail(ForecastFetch::Failure::Rejected);
                break;
            case Fault::RateLimited:
                first->fail(ForecastFetch::Failure::RateLimited, now.addSecs(60));
                break;
            case Fault::Hangs:
                first->hangs = true;
                break;
            }
            QElapsedTimer attempt;
            attempt.start();
            EXPECT_EQ(temperatureOf(ask(*service, feedRequest(placeId))), "7");
            // The second is asked 1 s after a first that hangs; the reply must still travel.
            EXPECT_LT(attempt.elapsed(), fault == Fault::Hangs ? 1800 : 300);
            EXPECT_EQ(source->isFirstDown(), fault != Fault::Hangs && fault != Fault::Rejected);
            if (fault == Fault::Hangs || fault == Fault::Rejected) {
                if (fault == Fault::Hangs) {
                    EXPECT_GE(attempt.elapsed(), 950);
                }
                EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
            } else {
                ASSERT_EQ(logged.size(), 1);
                EXPECT_EQ(
                    logged[0].toStdString(),
                    "forecasts from two now: one failed (it broke); asking one again in 60 s");
            }
        }
    }
}

TEST_F(Failover, FirstTriedAgainAfterGrowingPausesNeverBeforeItsBackOffEnds)
{
    build(FailoverSource::Timing{.secondAfter = 50ms});
    first->fail(ForecastFetch::Failure::TimedOut);
    EXPECT_EQ(forecastNow(), 7);
    EXPECT_TRUE(source->isFirstDown());
    // Tried again after 1, 2, 4, 8, 15 and 15 minutes while it keeps failing, never between.
    int firstAsked = 1;
    for (const int minutes : {1, 2, 4, 8, 15, 15}) {
        now = now.addSecs(minutes * 60 - 1);
        EXPECT_EQ(forecastNow(), 7);
        EXPECT_EQ(first->asked, firstAsked) << minutes;
        now = now.addSecs(1);
        EXPECT_EQ(forecastNow(), 7);
        EXPECT_EQ(first->asked, ++firstAsked) << minutes;
    }

    // One request at a time tries it; meanwhile the others go to the second at once.
    now = now.addSecs(15 * 60);
    first->heal();
    first->hangs = true;
    double tried = 0;
    source->fetchForecast(FakeSource::minneapolis(), Units::Metric, [&tried](ForecastFetch fetch) {
        tried = fetch.forecast->current.temperature;
    });
    EXPECT_EQ(first->asked, ++firstAsked);
    EXPECT_EQ(forecastNow(), 7);
    EXPECT_EQ(first->asked, firstAsked);
    EXPECT_TRUE(runUntil([&tried] { return tried == 7; }));

    // Its first good answer, late as it is, makes it first again: the second is left alone.
    first->held.takeFirst()(first->forecast());
    EXPECT_FALSE(source->isFirstDown());
    first->heal();
    const int secondAsked = second->asked;
    EXPECT_EQ(forecastNow(), 1);
    EXPECT_EQ(second->asked, secondAsked);

    // A daily limit holds it back until 00:00 UTC, though a minute is up long before.
    const QDateTime midnight(QDate(2026, 12, 9), QTime(0, 0), Qt::UTC);
    first->fail(ForecastFetch::Failure::RateLimited, midnight);
    EXPECT_EQ(forecastNow(), 7);
    now = midnight.addSecs(-1);
    EXPECT_EQ(forecastNow(), 7);
    EXPECT_EQ(first->asked, firstAsked + 2);
    now = midnight;
    first->heal();
    EXPECT_EQ(forecastNow(), 1);

    EXPECT_EQ(logged.join('\n').toStdString(),
              "forecasts from two now: one failed (it broke); asking one again in 60 s\n"
              "forecasts from one again: it answered, 3600 s after it failed\n"
              "forecasts from two now: one failed (it broke); asking one again at "
              "2026-12-09T00:00:00Z\n"
              "forecasts from one again: it answered, 4016 s after it failed");
}

TEST_F(Failover, BothDownAnswerAsOneSourceDidAndALateForecastServesTheNextAttempt)
{
    first->fail(ForecastFetch::Failure::Unreadable);
    second->fail(ForecastFetch::Failure::ServerError);
    EXPECT_EQ(ask(*service, feedRequest(placeId)).status, 503);
    first->heal();
    second->heal();
    now = now.addSecs(61); // past the failure's hold and the first's pause
    EXPECT_EQ(temperatureOf(ask(*service, feedRequest(placeId))), "1");

    // Both hang: the older document answers at 2.3 s, within the widget's attempt.
    first->hangs = true;
    second->hangs = true;
    now = now.addSecs(11 * 60);
    QElapsedTimer attempt;
    attempt.start();
    EXPECT_EQ(temperatureOf(ask(*service, feedRequest(placeId))), "1");
    EXPECT_GE(attempt.elapsed(), 2250);
    EXPECT_LT(attempt.elapsed(), 2700);
    EXPECT_EQ(first->asked, 3);
    ASSERT_EQ(second->held.size(), 1);

    // The calls go on; the second's forecast, come late, answers the widget's next attempt.
    second->held.takeFirst()(second->forecast());
    EXPECT_EQ(temperatureOf(ask(*service, feedRequest(placeId))), "7");
    EXPECT_EQ(first->asked, 3);
    EXPECT_EQ(second->asked, 2);
}

TEST_F(Failover, PlacesFromTheSecondCountOnlyWhenFound)
{
    first->places = PlaceLookup{PlaceLookup::Outcome::Failed, {}, QStringLiteral("down")};
    const GatewayReply found = ask(*service, searchRequest(QStringLiteral("Minneapolis")));
    EXPECT_TRUE(found.body.contains("<woeid>5005037649</woeid>")) << found.body.toStdString();
    // Nothing found by the second is no answer for the first, which failed.
    second->places = PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}, true};
    EXPECT_EQ(ask(*service, searchRequest(QStringLiteral("Lakeside"))).status, 503);
    EXPECT_EQ(ask(*service, feedRequest("5000000042")).status, 503);
}
