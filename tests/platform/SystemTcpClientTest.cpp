// The system's own socket client against a scripted loopback server: the order and number
// of its events, what a reset and a close by the peer each mean, and that nothing follows a
// Close.
#include "integration/EventPump.h"

#include "support/ScriptedPeer.h"
#include "support/SystemTcpClient.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace brisora;
using namespace brisora::test;

namespace {

using Action = PeerScript::Action;
const QByteArray kRequest = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 23);
    return bytes;
}

/// Everything a client reports, in the way the fetch uses it: the request goes out on
/// Connected and each arrival is taken at once while connected.
class SystemTcpClientTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&client, &TcpClient::Connected, [this] {
            ++connected;
            statesOnConnected.push_back(client.State());
            if (sendOnConnect)
                client.SendData(kRequest);
        });
        QObject::connect(&client, &TcpClient::DataArrival, [this](qint64 bytes) {
            arrivals.push_back(bytes);
            if (client.State() == TcpClient::kStateConnected)
                received += client.GetData();
        });
        QObject::connect(&client, &TcpClient::Error, [this](int number, const QString& text) {
            errors.emplace_back(number, text);
        });
    }
    void TearDown() override
    {
        client.Close();
        EXPECT_TRUE(pumpUntil([] { return systemLookupsInFlight() == 0; }))
            << "a lookup thread was left behind";
    }

    void connectTo(const ScriptedPeer& peer) { client.Connect("127.0.0.1", peer.port()); }
    int events() const { return connected + int(arrivals.size() + errors.size()); }

    const std::unique_ptr<TcpClient> owned = makeSystemTcpClient();
    TcpClient& client = *owned;
    const SystemSocketErrors numbers = systemSocketErrors();
    bool sendOnConnect = true;
    int connected = 0;
    std::vector<int> statesOnConnected;
    std::vector<qint64> arrivals;
    QByteArray received;
    std::vector<std::pair<int, QString>> errors;
};

} // namespace

TEST_F(SystemTcpClientTest, ConnectsSendsAndReceivesOnLoopback)
{
    const QByteArray reply = "HTTP/1.1 200 OK\r\n\r\nhello";
    ScriptedPeer peer(Action::Reply, reply);
    connectTo(peer);
    EXPECT_EQ(client.State(), TcpClient::kStateConnecting);
    EXPECT_EQ(events(), 0) << "nothing is reported from inside Connect";

    ASSERT_TRUE(pumpUntil([&] { return received == reply; }));
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(statesOnConnected, std::vector<int>{TcpClient::kStateConnected});
    EXPECT_EQ(peer.requests().value(0), kRequest);
    EXPECT_EQ(client.State(), TcpClient::kStateConnected) << "the peer keeps it open";
    qint64 announced = 0;
    for (qint64 bytes : arrivals)
        announced += bytes;
    EXPECT_EQ(announced, reply.size()) << "each arrival counts only the new bytes";
    EXPECT_TRUE(errors.empty());
}

TEST_F(SystemTcpClientTest, ARefusedConnectionIsOneErrorAndNothingElse)
{
    client.Connect("127.0.0.1", ScriptedPeer::closedPort());
    EXPECT_EQ(events(), 0) << "a refusal seen at once still waits for the event loop";
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    pumpFor(20);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, numbers.refused);
    EXPECT_FALSE(errors[0].second.isEmpty());
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(client.State(), TcpClient::kStateClosed);
}

TEST_F(SystemTcpClientTest, AResetIsAnErrorAfterTheBytesBeforeIt)
{
    PeerScript reset{Action::ResetAfter, pattern(3000)};
    reset.cutAfter = 1200;
    ScriptedPeer peer(reset);
    connectTo(peer);
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    pumpFor(20);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, numbers.reset);
    EXPECT_EQ(client.State(), TcpClient::kStateClosed);
    EXPECT_EQ(received, pattern(1200));
}

TEST_F(SystemTcpClientTest, APeerClosingAfterItsReplyIsNoError)
{
    PeerScript close{Action::CloseAfter, pattern(5000)};
    close.cutAfter = 5000;
    ScriptedPeer peer(close);
    connectTo(peer);
    ASSERT_TRUE(pumpUntil([&] { return client.State() == TcpClient::kStateClosed; }));
    pumpFor(20);
    EXPECT_EQ(received, pattern(5000));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(connected, 1);
    client.SendData(kRequest); // ignored now, and harmless
    pumpFor(10);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SystemTcpClientTest, NothingFollowsAClose)
{
    PeerScript eager{Action::Reply, pattern(100000)};
    eager.waitForRequest = false;
    ScriptedPeer peer(eager);

    connectTo(peer);
    client.Close();
    client.Close(); // harmless twice
    EXPECT_EQ(client.State(), TcpClient::kStateClosed);
    pumpFor(50);
    EXPECT_EQ(events(), 0) << "not even the Connected that was on its way";

    connectTo(peer);
    ASSERT_TRUE(pumpUntil([&] { return connected == 1; }));
    client.Close(); // with the reply on its way in
    const int before = events();
    pumpFor(50);
    EXPECT_EQ(events(), before);

    client.Connect("127.0.0.1", ScriptedPeer::closedPort());
    client.Close(); // with the refusal on its way
    pumpFor(50);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SystemTcpClientTest, ALookupThatEndsAfterACloseOrANewConnectIsIgnored)
{
    ScriptedPeer peer(Action::Reply, "ok");
    client.Connect("localhost", ScriptedPeer::closedPort());
    client.Close();
    ASSERT_TRUE(pumpUntil([] { return systemLookupsInFlight() == 0; }));
    pumpFor(20);
    EXPECT_EQ(events(), 0);

    // The first lookup would lead to a refusal; only the second connection may speak.
    client.Connect("localhost", ScriptedPeer::closedPort());
    client.Connect("localhost", peer.port());
    ASSERT_TRUE(pumpUntil([&] { return received == "ok"; }));
    ASSERT_TRUE(pumpUntil([] { return systemLookupsInFlight() == 0; }));
    pumpFor(20);
    EXPECT_EQ(connected, 1);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(peer.connections(), 1);
}

TEST_F(SystemTcpClientTest, LooksUpANameOffTheCallersThread)
{
    ScriptedPeer peer(Action::Reply, "ok");
    client.Connect("localhost", peer.port());
    EXPECT_EQ(client.State(), TcpClient::kStateLookingUp);
    ASSERT_TRUE(pumpUntil([&] { return received == "ok"; }));
    EXPECT_EQ(connected, 1);
    EXPECT_TRUE(pumpUntil([] { return systemLookupsInFlight() == 0; }))
        << "no thread stays behind once the name is known";

    client.Connect("nonexistent.invalid", 80);
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }, 20000));
    EXPECT_TRUE(numbers.isLookupFailure(errors[0].first)) << errors[0].first;
    EXPECT_FALSE(errors[0].second.isEmpty());
    EXPECT_EQ(connected, 1);
}

TEST_F(SystemTcpClientTest, ALargeReplyArrivesWholeOverManyReads)
{
    const QByteArray reply = pattern(6 * 1024 * 1024);
    ScriptedPeer peer(Action::Reply, reply);
    connectTo(peer);
    ASSERT_TRUE(pumpUntil([&] { return received.size() >= reply.size(); }, 20000));
    EXPECT_TRUE(received == reply);
    EXPECT_GT(arrivals.size(), 1u);
    for (qint64 bytes : arrivals)
        ASSERT_LE(bytes, 1024 * 1024) << "one wake-up reads a bounded amount";
}

TEST_F(SystemTcpClientTest, BytesSentWhileConnectingGoOutFirstAndLargeSendsDrain)
{
    sendOnConnect = false;
    PeerScript silent{Action::Silent};
    ScriptedPeer peer(silent);
    client.SendData("ignored while closed");
    connectTo(peer);
    client.SendData("first ");
    QObject::connect(&client, &TcpClient::Connected, [this] { client.SendData("second "); });
    ASSERT_TRUE(pumpUntil([&] { return peer.requests().value(0) == "first second "; }));

    // More than the socket takes at once: the rest goes out as the peer reads.
    const QByteArray bulk = pattern(8 * 1024 * 1024);
    client.SendData(bulk);
    ASSERT_TRUE(
        pumpUntil([&] { return peer.requests().value(0).size() >= 13 + bulk.size(); }, 20000));
    EXPECT_TRUE(peer.requests().value(0) == "first second " + bulk);
    EXPECT_TRUE(errors.empty());
}
