// The weather fetch on the real socket against servers that fail in every way we know of.
// Each case checks what the panel shows and when the next attempt starts; ticks are
// delivered by hand while the sockets run for real.
#include "integration/EventPump.h"
#include "integration/FaultReplies.h"
#include "integration/PanelProbe.h"
#include "integration/SlowestCall.h"

#include "WeatherFetch.h"
#include "support/FakeBootClock.h"
#include "support/FakeFetchView.h"
#include "support/ScriptedPeer.h"
#include "support/SystemTcpClient.h"

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

using Action = PeerScript::Action;
constexpr qint64 kResponsiveMs = 250; // generous: sanitizer builds run several times slower
constexpr int kTicks = WeatherFetch::kTicksPerAttempt;

class FetchFaultTest : public testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_LT(slowest.slowestMs(), kResponsiveMs) << "the user-interface thread was held";
        RecordProperty("slowest_call_ms", int(slowest.slowestMs()));
    }

    void start(const std::string& host)
    {
        module.Settings.LocationWoeid = "2459115";
        module.Settings.LocationName = "Somewhere";
        module.Settings.UseCelsius = 1;
        module.Settings.RefreshHours = 1;
        fetch = std::make_unique<WeatherFetch>(module, makeSystemTcpClient(),
                                               parseServiceHost(host), clock, view);
        QObject::connect(&fetch->socket(), &TcpClient::DataArrival, [this] { ++arrivals; });
        slowest.measure([&] { fetch->RefreshOptions(); });
    }
    void start(const ScriptedPeer& peer) { start("127.0.0.1:" + std::to_string(peer.port())); }

    template <typename Predicate> bool settle(Predicate done, int timeoutMs = 5000)
    {
        return slowest.pumpUntil(done, timeoutMs);
    }
    void tick()
    {
        slowest.measure([&] { fetch->tmrData_Timer(); });
        settle([] { return false; }, 2);
    }

    /// The attempt under way runs untouched through 27 ticks; the 28th starts the next one.
    void expectRetryAtTick28()
    {
        const int attempts = view.clears;
        for (int i = 1; i < kTicks; ++i) {
            tick();
            ASSERT_EQ(view.clears, attempts) << "retried early, at tick " << i;
        }
        EXPECT_TRUE(view.parsed.empty());
        tick();
        EXPECT_EQ(view.clears, attempts + 1) << "no retry at tick 28";
        EXPECT_TRUE(fetch->dataTimerEnabled());
    }

    /// One tick with more than 2000 bytes in: the reply goes to the parser, the attempt ends.
    void expectCompletesAtNextTick()
    {
        ASSERT_GT(fetch->replyBytes(), WeatherFetch::kCompleteAbove);
        tick();
        ASSERT_EQ(view.parsed.size(), 1u);
        EXPECT_TRUE(fetch->fetchDone());
        EXPECT_FALSE(fetch->dataTimerEnabled());
        EXPECT_EQ(fetch->socket().State(), TcpClient::kStateClosed);
    }

    Module1 module;
    FakeBootClock clock;
    FakeFetchView view;
    std::unique_ptr<WeatherFetch> fetch;
    SlowestCall slowest;
    int arrivals = 0;
    PanelProbe panel;
};

} // namespace

TEST_F(FetchFaultTest, ConnectionRefusedShowsNetworkErrorAndRetriesEvery28Ticks)
{
    start("127.0.0.1:" + std::to_string(ScriptedPeer::closedPort()));
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }));
    expectRetryAtTick28();
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }))
        << "the new attempt is refused too";
    expectRetryAtTick28();
}

TEST_F(FetchFaultTest, AHostNameThatDoesNotResolveShowsNetworkError)
{
    start("nonexistent.invalid:80");
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }));
    expectRetryAtTick28();
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }));
}

TEST_F(FetchFaultTest, AcceptedThenSilentRetriesWithoutAnError)
{
    ScriptedPeer peer(Action::Silent);
    start(peer);
    ASSERT_TRUE(settle([&] { return peer.requests().value(0).endsWith("\r\n\r\n"); }));
    expectRetryAtTick28();
    EXPECT_TRUE(view.day1.isEmpty());
    ASSERT_TRUE(settle([&] { return peer.connections() == 2 && peer.connectionsEnded() == 1; }))
        << "the retry drops the silent connection and opens a new one";
}

TEST_F(FetchFaultTest, AReplyDrippingOneBytePer50msNeverCompletesAndIsRetried)
{
    PeerScript drip{Action::Drip, fixture("feed-metric.txt")};
    drip.dripBytes = 1;
    drip.dripIntervalMs = 50;
    ScriptedPeer peer(drip);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() >= 1; }));
    expectRetryAtTick28();
    EXPECT_TRUE(view.day1.isEmpty());
    EXPECT_EQ(fetch->replyBytes(), 0) << "the drip so far was thrown away";
    ASSERT_TRUE(settle([&] { return peer.connections() == 2; }));
}

TEST_F(FetchFaultTest, AResetInTheMiddleOfTheReplyShowsNetworkErrorAndIsRetriedAfter28Ticks)
{
    PeerScript reset{Action::ResetAfter, fixture("feed-metric.txt")};
    reset.cutAfter = 1500;
    ScriptedPeer peer(reset);
    start(peer);
    ASSERT_TRUE(settle([&] { return peer.connectionsEnded() == 1; }));
    // Unlike a peer closing its side, a reset is a failure of the connection.
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }));
    EXPECT_EQ(fetch->socket().State(), TcpClient::kStateClosed);
    EXPECT_LE(fetch->replyBytes(), 1500);
    expectRetryAtTick28();
    ASSERT_TRUE(settle([&] { return view.day1 == "network error"; }))
        << "the second attempt meets the same reset";
    EXPECT_EQ(peer.connectionsEnded(), 2);
}

TEST_F(FetchFaultTest, AReplyClosedAfter1500BytesIsRetriedWithoutAnError)
{
    PeerScript close{Action::CloseAfter, fixture("feed-metric.txt")};
    close.cutAfter = 1500;
    ScriptedPeer peer(close);
    start(peer);
    ASSERT_TRUE(
        settle([&] { return fetch->replyBytes() == 1500 && peer.connectionsEnded() == 1; }));
    settle([] { return false; }, 20); // anything the close might still bring
    EXPECT_TRUE(view.day1.isEmpty()) << "a peer closing its side is not an error";
    expectRetryAtTick28();
}

TEST_F(FetchFaultTest, AOneMegabyteReplyIsCutAtTheFirstTickAndKeepsMemoryBounded)
{
    const QByteArray reply = paddedTo(fixture("feed-metric.txt"), 1024 * 1024, 'x');
    ScriptedPeer peer(Action::Reply, reply);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() > WeatherFetch::kCompleteAbove; }));
    expectCompletesAtNextTick();
    const std::string& parsed = view.parsed[0];
    EXPECT_LE(parsed.size(), WeatherFetch::kMaxKeptBytes);
    EXPECT_EQ(QByteArray::fromStdString(parsed), reply.left(qsizetype(parsed.size())));
    EXPECT_FALSE(panel.show(parsed, "txtTemp").isEmpty()) << "the weather at its head shows";
    ASSERT_TRUE(settle([&] { return peer.connectionsEnded() == 1; }))
        << "the rest is not waited for";
}

TEST_F(FetchFaultTest, AReplyThatNeverEndsKeepsOnlyItsFirstMegabyte)
{
    const QByteArray reply = paddedTo(fixture("feed-metric.txt"), 16 * 1024 * 1024, 'x');
    ScriptedPeer peer(Action::Reply, reply);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() == reply.size(); }, 20000));
    EXPECT_EQ(fetch->replyText().size(), WeatherFetch::kMaxKeptBytes);
    expectCompletesAtNextTick();
    EXPECT_EQ(view.parsed[0].size(), WeatherFetch::kMaxKeptBytes);
}

TEST_F(FetchFaultTest, FourKilobytesOfBinaryGarbageAreParsedAndSaidToBeUnreadable)
{
    const QByteArray garbage = binaryGarbage(4096);
    ScriptedPeer peer(Action::Reply, garbage);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() == garbage.size(); }));
    expectCompletesAtNextTick();
    EXPECT_EQ(QByteArray::fromStdString(view.parsed[0]), garbage);
    EXPECT_EQ(panel.show(view.parsed[0], "txtDay1"), WeatherPanel::kUnreadableWeather);
    EXPECT_EQ(panel.show(view.parsed[0], "txtTemp"), "");
}

TEST_F(FetchFaultTest, AnHtmlErrorPageOver2000BytesIsSaidToBeUnreadable)
{
    const QByteArray page = htmlErrorPage(2600);
    ASSERT_GT(page.size(), 2000);
    ScriptedPeer peer(Action::Reply, page);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() == page.size(); }));
    expectCompletesAtNextTick();
    EXPECT_EQ(panel.show(view.parsed[0], "txtDay1"), WeatherPanel::kUnreadableWeather);
}

TEST_F(FetchFaultTest, AReplyInOneByteSegmentsArrivesWhole)
{
    const QByteArray reply = fixture("feed-metric.txt");
    ScriptedPeer peer(Action::Segments, reply);
    start(peer);
    ASSERT_TRUE(settle([&] { return fetch->replyBytes() == reply.size(); }));
    EXPECT_GT(arrivals, 1) << "the segments came in separately";
    expectCompletesAtNextTick();
    EXPECT_EQ(QByteArray::fromStdString(view.parsed[0]), reply);
    EXPECT_FALSE(panel.show(view.parsed[0], "txtTemp").isEmpty());
    EXPECT_NE(panel.show(view.parsed[0], "txtDay1"), WeatherPanel::kUnreadableWeather);
}
