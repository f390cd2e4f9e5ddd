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

class WeatherFetchTest : public testing::Test
{
protected:
    WeatherFetchTest()
    {
        auto socket = std::make_unique<FakeTcpClient>();
        sock = socket.get();
        module.Settings.LocationWoeid = "2459115";
        module.Settings.LocationName = "New York, NY";
        module.Settings.RefreshHours = 1;
        fetch = std::make_unique<WeatherFetch>(module, std::move(socket),
                                               parseServiceHost("127.0.0.1:8417"), clock, view);
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            fetch->tmrData_Timer();
    }
    /// Minute ticks `apart` from each other on the boot-time clock.
    void minutes(int count, std::chrono::milliseconds apart = 1min)
    {
        for (int i = 0; i < count; ++i) {
            clock.now += apart;
            fetch->tmrInterval_Timer();
        }
    }
    /// The machine sleeps for `length`: the boot-time clock runs on, no tick comes.
    void machineSleeps(std::chrono::milliseconds length) { clock.now += length; }
    void deliverReply(qsizetype size)
    {
        sock->deliverConnect();
        sock->deliverData(QByteArray(size, 'x'));
    }

    Module1 module;
    FakeBootClock clock;
    FakeFetchView view;
    FakeTcpClient* sock = nullptr;
    std::unique_ptr<WeatherFetch> fetch;
};

} // namespace

TEST_F(WeatherFetchTest, RefreshConnectsAndSendsTheRequestForTheChosenUnits)
{
    module.Settings.UseCelsius = 1;
    fetch->RefreshOptions();
    EXPECT_EQ(sock->connects, QStringList{"127.0.0.1:8417"});
    EXPECT_EQ(view.title, "New York, NY");
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_TRUE(fetch->dataTimerEnabled());
    EXPECT_TRUE(fetch->intervalTimerEnabled());
    sock->deliverConnect();
    ASSERT_EQ(sock->sent.size(), 1);
    EXPECT_EQ(sock->sent[0], "GET /forecastrss?w=2459115&u=c HTTP/1.1\r\nAccept: */*\r\n"
                             "Accept-Language: en-us\r\nAccept-Encoding: \r\nUser-Agent: \r\n"
                             "Host: 127.0.0.1:8417\r\nConnection: Keep-Alive\r\n\r\n");
    EXPECT_TRUE(fetch->fetchMetric());

    module.Settings.UseCelsius = 2;
    fetch->RefreshOptions();
    sock->deliverConnect();
    EXPECT_TRUE(sock->sent.last().startsWith("GET /forecastrss?w=2459115 HTTP/1.1\r\n"));
    EXPECT_FALSE(fetch->fetchMetric());
}

TEST_F(WeatherFetchTest, ReplyCompletesAtTheFirstTickPast2000Bytes)
{
    fetch->RefreshOptions();
    deliverReply(2000);
    ticks(5);
    EXPECT_TRUE(view.parsed.empty());
    sock->deliverData("y");
    ticks(1);
    ASSERT_EQ(view.parsed.size(), 1u);
    EXPECT_EQ(view.parsed[0].size(), 2001u);
    EXPECT_TRUE(fetch->fetchDone());
    EXPECT_FALSE(fetch->dataTimerEnabled());
    EXPECT_EQ(view.bar, "");
    EXPECT_EQ(sock->state, 0) << "closed before parsing";
}

TEST_F(WeatherFetchTest, IncompleteAttemptIsRetriedAfter28TicksWithoutLimit)
{
    fetch->RefreshOptions();
    deliverReply(1500);
    ticks(27);
    EXPECT_EQ(view.bar, QString(27, '-'));
    EXPECT_EQ(sock->connects.size(), 1);
    ticks(1);
    EXPECT_EQ(sock->connects.size(), 2);
    EXPECT_EQ(view.bar, "");
    EXPECT_EQ(fetch->replyBytes(), 0);
    ticks(28 * 50);
    EXPECT_EQ(sock->connects.size(), 52);
    EXPECT_TRUE(view.parsed.empty());
}

TEST_F(WeatherFetchTest, RetryWinsOverACompleteReplyOnThe28thTick)
{
    fetch->RefreshOptions();
    deliverReply(100);
    ticks(27);
    sock->deliverData(QByteArray(3000, 'z'));
    ticks(1);
    EXPECT_TRUE(view.parsed.empty());
    EXPECT_EQ(sock->connects.size(), 2);
}

TEST_F(WeatherFetchTest, BarTicksCarryOverSoTheNextFirstAttemptIsShort)
{
    fetch->RefreshOptions();
    ticks(24);
    deliverReply(2500);
    ticks(1); // completes at BarTicks 25
    ASSERT_EQ(view.parsed.size(), 1u);
    EXPECT_EQ(fetch->barTicks(), 25);

    fetch->RefreshOptions();
    EXPECT_EQ(fetch->barTicks(), 25) << "a refresh leaves the progress count alone";
    ticks(2);
    EXPECT_EQ(sock->connects.size(), 2);
    ticks(1);
    EXPECT_EQ(sock->connects.size(), 3) << "only 3 ticks before the retry";
}

TEST_F(WeatherFetchTest, RefreshDuringAnAttemptDropsTheReplyAndKeepsTheBarGrowing)
{
    fetch->RefreshOptions();
    deliverReply(1800);
    ticks(10);
    const int closes = sock->closeCount;
    fetch->RefreshOptions();
    EXPECT_EQ(sock->closeCount, closes + 1);
    EXPECT_EQ(fetch->replyBytes(), 0);
    EXPECT_TRUE(fetch->replyText().empty());
    ticks(1);
    EXPECT_EQ(view.bar, QString(11, '-'));
}

TEST_F(WeatherFetchTest, NoPlaceMakesNoConnectionAndRetriesEvery28Ticks)
{
    for (const char* woeid : {"", "   ", "99999999"}) {
        module.Settings.LocationWoeid = woeid;
        module.Settings.LocationName = ">none";
        const qsizetype before = sock->connects.size();
        fetch->RefreshOptions();
        EXPECT_EQ(sock->connects.size(), before) << woeid;
        EXPECT_FALSE(fetch->intervalTimerEnabled()) << woeid;
        EXPECT_TRUE(fetch->dataTimerEnabled()) << woeid;
        EXPECT_EQ(view.title, ">none");
        const int clears = view.clears;
        ticks(28 - fetch->barTicks());
        EXPECT_EQ(view.clears, clears + 1) << "the attempt ran out and started over";
    }
    module.Settings.LocationWoeid = " 99999999";
    fetch->RefreshOptions();
    EXPECT_EQ(sock->connects.size(), 1) << "only exactly 99999999 means no place";
}

TEST_F(WeatherFetchTest, ErrorShowsNetworkErrorAndTheAttemptRunsOn)
{
    fetch->RefreshOptions();
    sock->deliverError();
    EXPECT_EQ(view.day1, "network error");
    EXPECT_TRUE(fetch->dataTimerEnabled());
    ticks(28);
    EXPECT_EQ(view.day1, "") << "the retry blanks the panel again";
    EXPECT_EQ(sock->connects.size(), 2);
}

TEST_F(WeatherFetchTest, DataWhileNotConnectedIsNeitherTakenNorCounted)
{
    fetch->RefreshOptions();
    deliverReply(500);
    sock->deliverPeerClose();
    sock->deliverData(QByteArray(3000, 'q'));
    EXPECT_EQ(fetch->replyBytes(), 500);
    EXPECT_EQ(sock->pending.size(), 3000);
}

TEST_F(WeatherFetchTest, HugeReplyIsCountedButKeptBounded)
{
    fetch->RefreshOptions();
    sock->deliverConnect();
    for (int i = 0; i < 40; ++i)
        sock->deliverData(QByteArray(100000, 'b'));
    EXPECT_EQ(fetch->replyBytes(), 4000000);
    EXPECT_EQ(fetch->replyText().size(), WeatherFetch::kMaxKeptBytes);
    ticks(1);
    ASSERT_EQ(view.parsed.size(), 1u);
}

TEST_F(WeatherFetchTest, PeriodicRefreshComesRefreshHoursAfterTheLastRefresh)
{
    module.Settings.RefreshHours = 3;
    fetch->RefreshOptions();
    deliverReply(2500);
    ticks(1);
    minutes(179);
    EXPECT_EQ(sock->connects.size(), 1);
    minutes(1);
    EXPECT_EQ(sock->connects.size(), 2);

    minutes(100);
    fetch->RefreshOptions(); // from the menu: the count starts again
    minutes(179);
    EXPECT_EQ(sock->connects.size(), 3);
    minutes(1);
    EXPECT_EQ(sock->connects.size(), 4);

    // The timer's ticks come a little early or late; each still counts one minute.
    for (int i = 0; i < 179; ++i)
        minutes(1, i % 2 ? 60500ms : 59500ms);
    EXPECT_EQ(sock->connects.size(), 4);
    minutes(1, 59500ms);
    EXPECT_EQ(sock->connects.size(), 5);
}

TEST_F(WeatherFetchTest, SleepPastTheIntervalRefreshesAtTheFirstTickAfterWaking)
{
    for (const int hours : {0, 1, 6, 8}) {
        module.Settings.RefreshHours = static_cast<std::int16_t>(hours);
        fetch->RefreshOptions();
        const qsizetype before = sock->connects.size();
        machineSleeps(8h);
        minutes(1);
        EXPECT_EQ(sock->connects.size(), before + 1) << hours;
        EXPECT_EQ(fetch->hourCount(), 0) << "the count starts again";
    }

    // Eight hours do not reach twelve: the count keeps them, and the refresh comes twelve
    // hours of real time after the last one.
    module.Settings.RefreshHours = 12;
    fetch->RefreshOptions();
    const qsizetype before = sock->connects.size();
    minutes(30);
    machineSleeps(8h);
    minutes(1);
    EXPECT_EQ(fetch->hourCount(), 8);
    EXPECT_EQ(fetch->minuteCount(), 31);
    minutes(3 * 60 + 28);
    EXPECT_EQ(sock->connects.size(), before);
    minutes(1);
    EXPECT_EQ(sock->connects.size(), before + 1);
}

TEST_F(WeatherFetchTest, ZeroHoursRefreshesEveryMinuteAndNegativeNever)
{
    module.Settings.RefreshHours = 0;
    minutes(1);
    EXPECT_EQ(sock->connects.size(), 1) << "before any refresh the minute timer counts too";
    minutes(1);
    EXPECT_EQ(sock->connects.size(), 2);

    module.Settings.RefreshHours = -1;
    minutes(60 * 48);
    machineSleeps(8h);
    minutes(1);
    machineSleeps(24h * 400);
    minutes(1);
    EXPECT_EQ(sock->connects.size(), 2);
}

TEST_F(WeatherFetchTest, PeriodicRefreshWhileHiddenMarksTheWindowShown)
{
    module.WindowShown = kFalse;
    module.Settings.RefreshHours = 1;
    minutes(60);
    EXPECT_EQ(module.WindowShown, kTrue);
}
