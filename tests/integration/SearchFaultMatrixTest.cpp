// The place search on the real socket against the same failing servers as the weather fetch.
// Each case checks the dialog's status line, its "Okay" button and when the search gives up.
#include "integration/EventPump.h"
#include "integration/FaultReplies.h"
#include "integration/SlowestCall.h"
#include "support/FakeSearchView.h"

#include "PlaceSearch.h"
#include "support/ScriptedPeer.h"
#include "support/SystemTcpClient.h"

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

using Action = PeerScript::Action;
constexpr qint64 kResponsiveMs = 250;
const QString kSearching = QStringLiteral("searching Sao Paulo... ");
const QString kTimeOut =
    QStringLiteral("Not found. Please change zip/ town/ location and try again.");
const QString kEasyBoy = QStringLiteral("Easy boy. Not so fast !!!");

class SearchFaultTest : public testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_LT(slowest.slowestMs(), kResponsiveMs) << "the user-interface thread was held";
        RecordProperty("slowest_call_ms", int(slowest.slowestMs()));
    }

    void find(const std::string& host)
    {
        search = std::make_unique<PlaceSearch>(makeSystemTcpClient(), parseServiceHost(host), view);
        view.words = QStringLiteral("Sao Paulo");
        search->loadPending("2459115", ">New York");
        slowest.measure([&] { search->FindLocation(); });
    }
    void find(const ScriptedPeer& peer) { find("127.0.0.1:" + std::to_string(peer.port())); }

    template <typename Predicate> bool settle(Predicate done, int timeoutMs = 5000)
    {
        return slowest.pumpUntil(done, timeoutMs);
    }
    void tick()
    {
        slowest.measure([&] { search->Timer1_Timer(); });
        slowest.measure(pumpOnce);
    }

    /// Nothing completes through 200 ticks; the 201st gives up with the time-out message.
    void expectTimeOutAtTick201(const QString& statusMeanwhile)
    {
        for (int i = 1; i <= PlaceSearch::kTicksAllowed; ++i) {
            tick();
            ASSERT_EQ(view.status, statusMeanwhile) << "at tick " << i;
        }
        EXPECT_FALSE(view.okay);
        tick();
        EXPECT_EQ(view.status, kTimeOut);
        EXPECT_FALSE(view.okay);
        EXPECT_FALSE(search->timerEnabled());
        EXPECT_EQ(search->pendingWoeid(), "2459115") << "nothing found, nothing changed";
    }

    /// One tick with more than 1000 bytes in: the reply is cut and the search ends.
    void expectCompletesAtNextTick()
    {
        ASSERT_GT(search->searchBytes(), PlaceSearch::kCompleteAbove);
        slowest.measure([&] { search->Timer1_Timer(); });
        EXPECT_FALSE(search->timerEnabled());
        // The connection stays open: what comes after is gathered again but never cut.
        EXPECT_TRUE(search->searchReply().empty());
        slowest.measure(pumpOnce);
    }

    FakeSearchView view;
    std::unique_ptr<PlaceSearch> search;
    SlowestCall slowest;
};

} // namespace

TEST_F(SearchFaultTest, ConnectionRefusedShowsNetworkErrorUntilTheTimeOut)
{
    find("127.0.0.1:" + std::to_string(ScriptedPeer::closedPort()));
    ASSERT_TRUE(settle([&] { return view.status == "network error"; }));
    expectTimeOutAtTick201(QStringLiteral("network error"));
}

TEST_F(SearchFaultTest, AHostNameThatDoesNotResolveShowsNetworkErrorUntilTheTimeOut)
{
    find("nonexistent.invalid:80");
    ASSERT_TRUE(settle([&] { return view.status == "network error"; }));
    expectTimeOutAtTick201(QStringLiteral("network error"));
}

TEST_F(SearchFaultTest, AcceptedThenSilentTimesOut)
{
    ScriptedPeer peer(Action::Silent);
    find(peer);
    ASSERT_TRUE(settle([&] { return peer.requests().value(0).endsWith("\r\n\r\n"); }));
    expectTimeOutAtTick201(kSearching);
    EXPECT_EQ(peer.connections(), 1) << "the search never tries again by itself";
}

TEST_F(SearchFaultTest, AReplyDrippingOneBytePer50msTimesOut)
{
    PeerScript drip{Action::Drip, fixture("search-one.txt")};
    drip.dripIntervalMs = 50;
    ScriptedPeer peer(drip);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() >= 1; }));
    expectTimeOutAtTick201(kSearching);
}

TEST_F(SearchFaultTest, AResetInTheMiddleOfTheReplyShowsNetworkErrorUntilTheTimeOut)
{
    PeerScript reset{Action::ResetAfter, fixture("search-one.txt")};
    reset.cutAfter = 600;
    ScriptedPeer peer(reset);
    find(peer);
    ASSERT_TRUE(settle([&] { return view.status == "network error"; }));
    EXPECT_EQ(search->socket().State(), TcpClient::kStateClosed);
    EXPECT_EQ(search->searchBytes(), 600) << "what came before the reset still counts";
    expectTimeOutAtTick201(QStringLiteral("network error"));
}

TEST_F(SearchFaultTest, AReplyClosedAfter1500BytesIsCutFromWhatCame)
{
    PeerScript close{Action::CloseAfter, fixture("search-several.txt")};
    close.cutAfter = 1500;
    ScriptedPeer peer(close);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == 1500; }));
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, ">Springfield Found  !");
    EXPECT_TRUE(view.okay);
    EXPECT_EQ(search->pendingWoeid(), "92401284");
}

TEST_F(SearchFaultTest, AReplyClosedAfter800BytesTimesOut)
{
    PeerScript close{Action::CloseAfter, fixture("search-several.txt")};
    close.cutAfter = 800;
    ScriptedPeer peer(close);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == 800 && peer.connectionsEnded(); }));
    expectTimeOutAtTick201(kSearching);
}

TEST_F(SearchFaultTest, AOneMegabyteReplyFindsThePlaceAtItsHead)
{
    const QByteArray reply = paddedTo(fixture("search-several.txt"), 1024 * 1024);
    ScriptedPeer peer(Action::Reply, reply);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() > PlaceSearch::kCompleteAbove; }));
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, ">Springfield Found  !");
    EXPECT_EQ(view.focus, "cmdOK");
}

TEST_F(SearchFaultTest, AReplyThatNeverEndsKeepsOnlyItsFirstMegabyte)
{
    const QByteArray reply = paddedTo(fixture("search-several.txt"), 16 * 1024 * 1024);
    ScriptedPeer peer(Action::Reply, reply);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == reply.size(); }, 20000));
    EXPECT_EQ(search->searchReply().size(), PlaceSearch::kMaxKeptBytes);
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, ">Springfield Found  !");
}

TEST_F(SearchFaultTest, FourKilobytesOfBinaryGarbageFindNothing)
{
    ScriptedPeer peer(Action::Reply, binaryGarbage(4096));
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == 4096; }));
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, kEasyBoy);
    EXPECT_FALSE(view.okay);
    EXPECT_EQ(view.focus, "txtWord");
}

TEST_F(SearchFaultTest, AnHtmlErrorPageFindsNothing)
{
    const QByteArray page = htmlErrorPage(2600);
    ScriptedPeer peer(Action::Reply, page);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == page.size(); }));
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, kEasyBoy);
    EXPECT_FALSE(view.okay);
}

TEST_F(SearchFaultTest, AReplyInOneByteSegmentsFindsThePlace)
{
    const QByteArray reply = fixture("search-one.txt");
    ScriptedPeer peer(Action::Segments, reply);
    find(peer);
    ASSERT_TRUE(settle([&] { return search->searchBytes() == reply.size(); }));
    expectCompletesAtNextTick();
    EXPECT_EQ(view.status, QStringLiteral(">São Paulo Found  !"));
    EXPECT_EQ(search->pendingWoeid(), "90455827");
    EXPECT_TRUE(view.okay);
}
