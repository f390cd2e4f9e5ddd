// Long runs of the weather fetch: ten thousand cycles on a socket driven by hand and a
// thousand real fetches over loopback, with the resident memory watched.
#include "integration/EventPump.h"
#include "integration/FaultReplies.h"
#include "integration/ResidentMemory.h"

#include "FetchView.h"
#include "WeatherFetch.h"
#include "feed/FeedCutter.h"
#include "support/FakeBootClock.h"
#include "support/FakeTcpClient.h"
#include "support/ScriptedPeer.h"
#include "support/SystemTcpClient.h"

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory in quarantine, so resident size says nothing there;
// LeakSanitizer checks the same runs for leaks instead.
constexpr bool kResidentSizeMeaningful = false;
#else
constexpr bool kResidentSizeMeaningful = true;
#endif
constexpr long kAllowedGrowthBytes = 1024 * 1024;

/// The panel as far as a soak cares: every reply goes through the real cutter, and only
/// counts are kept, so the view itself cannot grow.
class CountingView final : public FetchView
{
public:
    void ClearWeather() override
    {
        ++attempts;
        day1.clear();
    }
    void ParseWeather(const std::string& reply) override
    {
        ++parsed;
        if (cutFeed(reply, 1).complete())
            ++readable;
    }
    void setTitleCaption(const QString& caption) override { title = caption; }
    QString barCaption() const override { return bar; }
    void setBarCaption(const QString& caption) override { bar = caption; }
    void showNetworkError() override { day1 = QStringLiteral("network error"); }

    int attempts = 0;
    int parsed = 0;
    int readable = 0;
    QString title;
    QString bar;
    QString day1;
};

class SoakTest : public testing::Test
{
protected:
    SoakTest()
    {
        module.Settings.LocationWoeid = "2459115";
        module.Settings.LocationName = "Somewhere";
        module.Settings.UseCelsius = 1;
        module.Settings.RefreshHours = 1;
    }

    Module1 module;
    const FakeBootClock clock;
    CountingView view;
    const QByteArray reply = fixture("feed-metric.txt");
};

} // namespace

TEST_F(SoakTest, TenThousandSimulatedFetchCyclesKeepMemoryFlat)
{
    auto socket = std::make_unique<FakeTcpClient>();
    FakeTcpClient& sock = *socket;
    WeatherFetch fetch(module, std::move(socket), parseServiceHost("127.0.0.1:8417"), clock, view);

    // One cycle is the periodic refresh an hour after the last fetch; every fifth attempt
    // fails first (refused, or a short reply) and is retried after its 28 ticks.
    auto cycle = [&](int n) {
        for (int minute = 0; minute < 60; ++minute)
            fetch.tmrInterval_Timer();
        if (n % 5 == 1) {
            sock.deliverError();
            const int attempt = view.attempts;
            while (view.attempts == attempt)
                fetch.tmrData_Timer();
        } else if (n % 5 == 3) {
            sock.deliverConnect();
            sock.deliverData(reply.left(1500));
            const int attempt = view.attempts;
            while (view.attempts == attempt) // a short reply waits for the retry
                fetch.tmrData_Timer();
        }
        // The tick count carries over from fetch to fetch, so now and then the attempt runs
        // out of ticks at the very tick that finds the reply: then the next attempt gets it.
        const int before = view.parsed;
        while (view.parsed == before) {
            sock.deliverConnect();
            sock.deliverData(reply.left(1000));
            sock.deliverData(reply.mid(1000));
            fetch.tmrData_Timer();
        }
        sock.sent.clear();
        sock.connects.clear();
    };

    fetch.RefreshOptions();
    for (int n = 0; n < 500; ++n)
        cycle(n);
    const long warm = residentBytes();
    const int parsedBefore = view.parsed;
    for (int n = 0; n < 10000; ++n)
        cycle(n);
    const long grown = residentBytes() - warm;

    EXPECT_EQ(view.parsed - parsedBefore, 10000);
    EXPECT_EQ(view.readable, view.parsed);
    EXPECT_TRUE(fetch.fetchDone());
    if (kResidentSizeMeaningful) {
        EXPECT_LT(grown, kAllowedGrowthBytes) << "resident memory grew by " << grown << " bytes";
    }
    RecordProperty("resident_growth_bytes", std::to_string(grown));
}

TEST_F(SoakTest, AThousandRealLoopbackFetchesKeepMemoryFlat)
{
    ScriptedPeer peer(PeerScript::Action::Reply, reply);
    WeatherFetch fetch(module, makeSystemTcpClient(),
                       parseServiceHost("127.0.0.1:" + std::to_string(peer.port())), clock, view);

    int failures = 0;
    auto fetchOnce = [&] {
        fetch.RefreshOptions();
        const int before = view.parsed;
        while (view.parsed == before && failures < 10) {
            if (!pumpUntil([&] { return fetch.replyBytes() == reply.size(); }, 5000))
                ++failures;
            fetch.tmrData_Timer(); // may be the attempt's last tick: then the next one gets it
        }
        peer.clearRequests();
    };

    for (int n = 0; n < 100; ++n)
        fetchOnce();
    // Let the peer see the last connections end before measuring.
    pumpUntil([&] { return peer.connectionsEnded() == peer.connections(); }, 2000);
    const long warm = residentBytes();
    const int parsedBefore = view.parsed;
    for (int n = 0; n < 1000; ++n)
        fetchOnce();
    pumpUntil([&] { return peer.connectionsEnded() == peer.connections(); }, 2000);
    const long grown = residentBytes() - warm;

    EXPECT_EQ(failures, 0);
    EXPECT_EQ(view.parsed - parsedBefore, 1000);
    EXPECT_EQ(view.readable, view.parsed);
    EXPECT_GE(peer.connections(), 1100);
    EXPECT_EQ(peer.connectionsEnded(), peer.connections()) << "every connection was closed";
    if (kResidentSizeMeaningful) {
        EXPECT_LT(grown, kAllowedGrowthBytes) << "resident memory grew by " << grown << " bytes";
    }
    RecordProperty("resident_growth_bytes", std::to_string(grown));
}
