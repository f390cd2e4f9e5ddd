#include "HttpServer.h"
#include "DemoSource.h"
#include "GatewayTestData.h"
#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

QByteArray widgetRequest(const QByteArray& path)
{
    return "GET " + path +
           " HTTP/1.1\r\nAccept: */*\r\nAccept-Language: en-us\r\nAccept-Encoding: \r\n"
           "User-Agent: \r\nHost: 127.0.0.1:8417\r\nConnection: Keep-Alive\r\n\r\n";
}

const QByteArray berlinFeed = "/forecastrss?w=6000000006&u=c";

/// The server over the demo source, and a client socket talking to it.
class HttpServing : public ::testing::Test
{
protected:
    HttpServing()
        : source([this] { return now; }, systemZones()), places(QString()), lastGood(QString()),
          service(
              source, places, lastGood, systemZones(), [this] { return now; },
              FeedService::Timing{}),
          server(service, HttpServer::Limits{.headTimeout = 100ms, .idleTimeout = 1000ms}, {})
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        EXPECT_TRUE(client.waitForConnected(2000));
    }

    /// Reads until `bytes` have come or the connection ends; returns what came.
    QByteArray readAtLeast(qsizetype bytes)
    {
        runUntil([&] {
            received += client.readAll();
            return received.size() >= bytes || client.state() != QAbstractSocket::ConnectedState;
        });
        received += client.readAll();
        return received;
    }

    bool waitForClose()
    {
        return runUntil([this] {
            received += client.readAll();
            return client.state() == QAbstractSocket::UnconnectedState;
        });
    }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC};
    DemoSource source;
    PlaceStore places;
    LastGoodStore lastGood;
    FeedService service;
    HttpServer server;
    QTcpSocket client;
    QByteArray received;
};

int countOf(const QByteArray& text, const QByteArray& what)
{
    return static_cast<int>(text.count(what));
}

} // namespace

TEST_F(HttpServing, AnswersTheWidgetAndKeepsTheConnectionOpen)
{
    client.write(widgetRequest(berlinFeed));
    const QByteArray first = readAtLeast(2001);
    EXPECT_TRUE(first.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(first.contains("\r\nContent-Type: text/xml;charset=UTF-8\r\n"));
    EXPECT_TRUE(first.contains("\r\nConnection: keep-alive\r\n"));
    const qsizetype bodyStart = first.indexOf("\r\n\r\n") + 4;
    EXPECT_TRUE(first.contains("Content-Length: " + QByteArray::number(first.size() - bodyStart)));
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);

    received.clear();
    client.write(widgetRequest(
        "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20'Berlin'"));
    EXPECT_TRUE(readAtLeast(1001).contains("<woeid>6000000006</woeid>"));
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);
}

TEST_F(HttpServing, PipelinedRequestsAreAnsweredInOrder)
{
    client.write(widgetRequest("/nowhere") + widgetRequest(berlinFeed) +
                 widgetRequest("/forecastrss?w=x"));
    runUntil([this] {
        received += client.readAll();
        return countOf(received, "HTTP/1.1 ") == 3;
    });
    const qsizetype notFound = received.indexOf("HTTP/1.1 404");
    const qsizetype feed = received.indexOf("HTTP/1.1 200");
    const qsizetype bad = received.indexOf("HTTP/1.1 400");
    EXPECT_TRUE(notFound >= 0 && notFound < feed && feed < bad) << received.left(300).toStdString();
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState); // 404 and 400 keep the framing
}

TEST_F(HttpServing, HostileHeadsGetAShortReplyAndTheConnectionCloses)
{
    const QByteArray hostile[] = {
        "GET /forecastrss?w=1 HTTP/1.1\r\nX: " + QByteArray(9000, 'a') + "\r\n\r\n",
        "GET /forecastrss?w=1 HTTP/1.1\r\nX: " + QByteArray(9000, 'a'), // never ends
        "BREW\r\n\r\n",
        "GET /forecastrss?w=1 HTTP/3.0\r\n\r\n",
        QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15), // TLS hello
    };
    for (const QByteArray& request : hostile) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(request);
        QByteArray reply;
        EXPECT_TRUE(runUntil([&] {
            reply += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        }));
        reply += socket.readAll();
        EXPECT_TRUE(reply.startsWith("HTTP/1.1 4") || reply.startsWith("HTTP/1.1 505"))
            << reply.toStdString();
        EXPECT_LT(reply.size(), 400);
    }
}

TEST_F(HttpServing, ConnectionCloseAndRequestBodiesEndTheConnection)
{
    client.write("GET /forecastrss?w=6000000006 HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(waitForClose());
    EXPECT_TRUE(received.contains("\r\nConnection: close\r\n"));

    QTcpSocket withBody;
    withBody.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(withBody.waitForConnected(2000));
    withBody.write("GET /forecastrss?w=1 HTTP/1.1\r\nContent-Length: 5\r\n\r\nGET /");
    QByteArray reply;
    EXPECT_TRUE(runUntil([&] {
        reply += withBody.readAll();
        return withBody.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE((reply + withBody.readAll()).startsWith("HTTP/1.1 400"));
}

TEST_F(HttpServing, AHeadMustComeSoonButAKeptAliveConnectionMayIdleLonger)
{
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(waitForClose()); // the fixture's client never sends a thing
    EXPECT_LT(elapsed.elapsed(), 900) << "held to the idle limit, not the head limit";
    EXPECT_TRUE(runUntil([this] { return server.openConnections() == 0; }));

    QTcpSocket keptAlive;
    keptAlive.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(keptAlive.waitForConnected(2000));
    keptAlive.write(widgetRequest(berlinFeed));
    QByteArray reply;
    ASSERT_TRUE(runUntil([&] { return (reply += keptAlive.readAll()).size() > 2000; }));
    runUntil([] { return false; }, 400); // four times the head limit
    EXPECT_EQ(keptAlive.state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(runUntil([&] { return keptAlive.state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(HttpServing, AHeadTrickledInByteByByteStillRunsOutOfTime)
{
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, &client, [this] { client.write("X"); });
    client.write("GET /forecastrss?w=6000000006 HTTP/1.1\r\nX-Slow: ");
    trickle.start(30); // well inside the 100 ms head limit, every time
    EXPECT_TRUE(waitForClose());
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(HttpServing, AtTheLimitTheLongestWaitingConnectionMakesRoom)
{
    HttpServer crowded(service, HttpServer::Limits{.maxConnections = 4}, {});
    ASSERT_TRUE(crowded.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    // Opens a client, sends `request` and waits until the server has it in hand.
    const auto open = [&](const QByteArray& request, qsizetype replyBytes) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, crowded.serverPort());
        EXPECT_TRUE(socket->waitForConnected(2000));
        socket->write(request);
        QByteArray reply;
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_TRUE(runUntil([&] {
            reply += socket->readAll();
            return reply.size() >= replyBytes &&
                   crowded.openConnections() == std::min<int>(sockets.size() + 1, 4);
        }));
        if (replyBytes > 0) {
            EXPECT_LT(elapsed.elapsed(), 1000) << "a normal client waited";
        }
        sockets.push_back(std::move(socket));
    };
    const QByteArray unfinished = "GET /forecastrss?w=6000000006 HTTP/1.1\r\nX-Slow: ";
    const auto isOpen = [&](std::size_t index) {
        QCoreApplication::processEvents();
        return sockets[index]->state() == QAbstractSocket::ConnectedState;
    };

    open(widgetRequest(berlinFeed), 2001); // 0: answered, then idle
    open(widgetRequest(berlinFeed), 2001); // 1: answered, then idle
    open(unfinished, 0);                   // 2
    open(unfinished, 0);                   // 3
    open(unfinished, 0);                   // 4: unfinished heads go before idle connections
    EXPECT_TRUE(runUntil([&] { return !isOpen(2); }));
    open(widgetRequest(berlinFeed), 2001); // 5: answered at once, at the cost of 3
    EXPECT_TRUE(runUntil([&] { return !isOpen(3); }));
    open(widgetRequest(berlinFeed), 2001); // 6: the last unfinished head goes
    EXPECT_TRUE(runUntil([&] { return !isOpen(4); }));
    open(widgetRequest(berlinFeed), 2001); // 7: none left: the longest idle goes
    EXPECT_TRUE(runUntil([&] { return !isOpen(0); }));
    for (const std::size_t kept : {1, 5, 6, 7})
        EXPECT_TRUE(isOpen(kept)) << kept;
}
