// The weather fetch with the real Qt socket against a server on 127.0.0.1.
#include "integration/EventPump.h"
#include "integration/FaultReplies.h"

#include "WeatherFetch.h"
#include "feed/FeedCutter.h"
#include "support/FakeBootClock.h"
#include "support/FakeFetchView.h"
#include "support/ScriptedPeer.h"
#include "support/SystemTcpClient.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

class LoopbackFetchTest : public testing::Test
{
protected:
    void start(quint16 port)
    {
        module.Settings.LocationWoeid = "2459115";
        module.Settings.LocationName = "Somewhere";
        module.Settings.UseCelsius = 1;
        module.Settings.RefreshHours = 1;
        fetch = std::make_unique<WeatherFetch>(
            module, makeSystemTcpClient(), parseServiceHost("127.0.0.1:" + std::to_string(port)),
            clock, view);
        fetch->RefreshOptions();
    }

    /// One 100 ms tick, then a short look at the sockets.
    void tick()
    {
        fetch->tmrData_Timer();
        pumpFor(2);
    }

    Module1 module;
    FakeBootClock clock;
    FakeFetchView view;
    std::unique_ptr<WeatherFetch> fetch;
};

} // namespace

TEST_F(LoopbackFetchTest, TheServerReceivesTheRequestByteForByte)
{
    ScriptedPeer peer(PeerScript::Action::Silent);
    start(peer.port());
    ASSERT_TRUE(pumpUntil([&] { return peer.requests().value(0).endsWith("\r\n\r\n"); }));
    const QByteArray expected = "GET /forecastrss?w=2459115&u=c HTTP/1.1\r\n"
                                "Accept: */*\r\n"
                                "Accept-Language: en-us\r\n"
                                "Accept-Encoding: \r\n"
                                "User-Agent: \r\n"
                                "Host: 127.0.0.1:" +
                                QByteArray::number(peer.port()) +
                                "\r\n"
                                "Connection: Keep-Alive\r\n"
                                "\r\n";
    EXPECT_EQ(peer.requests().value(0), expected);
    EXPECT_EQ(peer.connections(), 1);
}

TEST_F(LoopbackFetchTest, A2500ByteReplyReachesParseWeatherWhole)
{
    QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n";
    reply.append(QByteArray(2500 - reply.size(), 'w'));
    ScriptedPeer peer(PeerScript::Action::Reply, reply);
    start(peer.port());
    ASSERT_TRUE(pumpUntil([&] { return fetch->replyBytes() == 2500; }));
    tick();
    ASSERT_EQ(view.parsed.size(), 1u);
    EXPECT_EQ(view.parsed[0], reply.toStdString());
    EXPECT_TRUE(fetch->fetchDone());
    EXPECT_FALSE(fetch->dataTimerEnabled());
    EXPECT_TRUE(view.day1.isEmpty());
}

TEST_F(LoopbackFetchTest, ARecordedReplyFillsEveryCut)
{
    const QByteArray reply = fixture("feed-metric.txt");
    ASSERT_GT(reply.size(), 2000);
    ScriptedPeer peer(PeerScript::Action::Reply, reply);
    start(peer.port());
    ASSERT_TRUE(pumpUntil([&] { return fetch->replyBytes() == reply.size(); }));
    tick();
    ASSERT_EQ(view.parsed.size(), 1u);
    EXPECT_TRUE(cutFeed(view.parsed[0], 1).complete());
}

TEST_F(LoopbackFetchTest, ARefusedConnectionShowsNetworkErrorAndRetriesAfter28Ticks)
{
    start(ScriptedPeer::closedPort());
    ASSERT_TRUE(pumpUntil([&] { return view.day1 == "network error"; }));
    for (int i = 1; i < WeatherFetch::kTicksPerAttempt; ++i)
        tick();
    EXPECT_EQ(view.clears, 1);
    EXPECT_EQ(view.day1, "network error");
    tick();
    EXPECT_EQ(view.clears, 2) << "the 28th tick starts a new attempt";
    ASSERT_TRUE(pumpUntil([&] { return view.day1 == "network error"; }));
    EXPECT_TRUE(view.parsed.empty());
}

TEST_F(LoopbackFetchTest, A1500ByteReplyThenSilenceIsRetriedAfter28Ticks)
{
    ScriptedPeer peer(PeerScript::Action::Reply, QByteArray(1500, 'h'));
    start(peer.port());
    ASSERT_TRUE(pumpUntil([&] { return fetch->replyBytes() == 1500; }));
    for (int i = 1; i < WeatherFetch::kTicksPerAttempt; ++i)
        tick();
    EXPECT_EQ(peer.connections(), 1);
    EXPECT_EQ(fetch->barTicks(), WeatherFetch::kTicksPerAttempt - 1);
    EXPECT_EQ(view.bar, QString(WeatherFetch::kTicksPerAttempt - 1, QLatin1Char('-')));

    tick();
    EXPECT_EQ(view.clears, 2);
    EXPECT_EQ(fetch->barTicks(), 0);
    EXPECT_TRUE(view.bar.isEmpty());
    ASSERT_TRUE(pumpUntil([&] { return peer.requests().value(1).endsWith("\r\n\r\n"); }))
        << "the retry connects again and sends the request anew";
    EXPECT_EQ(peer.requests()[1], peer.requests()[0]);
    ASSERT_TRUE(pumpUntil([&] { return fetch->replyBytes() == 1500; }))
        << "the first attempt's bytes were dropped";
    EXPECT_TRUE(view.parsed.empty());
    EXPECT_TRUE(view.day1.isEmpty());
}

TEST(EventPumpTest, PumpingDeliversNoTimerEvents)
{
    // Every test here ticks by hand; a real 100 ms tick slipping in would skew the counts.
    QTimer timer;
    bool fired = false;
    QObject::connect(&timer, &QTimer::timeout, [&] { fired = true; });
    timer.start(0);
    pumpFor(30);
    EXPECT_FALSE(fired);
}
