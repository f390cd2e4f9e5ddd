#include "GatewayOnDemand.h"
#include "GatewayLauncher.h"
#include "GatewayStartingTcpClient.h"
#include "WeatherFetch.h"
#include "support/FakeBootClock.h"
#include "support/FakeFetchView.h"
#include "support/FakeTcpClient.h"

#include <gtest/gtest.h>

using namespace brisora;
using namespace std::chrono_literals;
using brisora::test::FakeBootClock;
using brisora::test::FakeFetchView;
using brisora::test::FakeTcpClient;

namespace {

constexpr int kRefused = 10061;
constexpr int kReset = 10054;

struct CountingLauncher final : GatewayLauncher
{
    bool start() override
    {
        ++starts;
        return true;
    }
    int starts = 0;
};

// The widget's fetch on a socket that starts the gateway: refusals of its loopback host
// start it, at most once per pause, and the attempts go on as before.
TEST(GatewayOnDemandTest, ARefusedFetchStartsTheGatewayOncePerPauseAndRetriesAsBefore)
{
    CountingLauncher launcher;
    FakeBootClock clock;
    GatewayOnDemand onDemand(launcher, clock, kRefused);
    auto fake = std::make_unique<FakeTcpClient>();
    FakeTcpClient* sock = fake.get();
    Module1 module;
    module.Settings.LocationWoeid = "2459115";
    FakeFetchView view;
    WeatherFetch fetch(module,
                       std::make_unique<GatewayStartingTcpClient>(std::move(fake), onDemand),
                       parseServiceHost("127.0.0.1:8417"), clock, view);

    fetch.RefreshOptions();
    sock->deliverError(kRefused);
    EXPECT_EQ(launcher.starts, 1);
    EXPECT_EQ(view.day1, QStringLiteral("network error"));

    // The next attempt, 2.8 s on, is refused again: too soon for another start.
    for (int tick = 0; tick < WeatherFetch::kTicksPerAttempt; ++tick)
        fetch.tmrData_Timer();
    ASSERT_EQ(sock->connects.size(), 2);
    clock.now += 29s;
    sock->deliverError(kRefused);
    EXPECT_EQ(launcher.starts, 1);
    clock.now += 1s;
    fetch.RefreshOptions();
    sock->deliverError(kRefused);
    EXPECT_EQ(launcher.starts, 2);

    // A connection that stood and then broke says nothing about whether a gateway runs.
    clock.now += 1min;
    fetch.RefreshOptions();
    sock->deliverConnect();
    sock->deliverError(kRefused);
    EXPECT_EQ(launcher.starts, 2);
    // Nor does another failure to connect than a refusal.
    fetch.RefreshOptions();
    sock->deliverError(kReset);
    EXPECT_EQ(launcher.starts, 2);
}

TEST(GatewayOnDemandTest, OnlyThisMachinesLoopbackIsTheGatewaysHost)
{
    for (const char* host : {"127.0.0.1", "127.1.2.3", "localhost", "LocalHost", "::1"})
        EXPECT_TRUE(GatewayOnDemand::isLoopback(QString::fromLatin1(host))) << host;
    for (const char* host :
         {"128.0.0.1", "127.0.0", "127.0.0.1.5", "127.0.0.256", "127.0.0.x", "127..0.1", "10.0.0.1",
          "weather.example", "localhost.example", "::2", ""})
        EXPECT_FALSE(GatewayOnDemand::isLoopback(QString::fromLatin1(host))) << host;
}

} // namespace
