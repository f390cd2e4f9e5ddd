#include "PlaceSearch.h"
#include "support/FakeSearchView.h"
#include "support/FakeTcpClient.h"
#include "support/Fixture.h"
#include "support/SystemTcpClient.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisora;
using brisora::test::FakeTcpClient;

namespace {

const QString kPrefix =
    QStringLiteral("/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20");
const QString kTimeOut =
    QStringLiteral("Not found. Please change zip/ town/ location and try again.");
const QString kEasyBoy = QStringLiteral("Easy boy. Not so fast !!!");

QByteArray fixture(const char* name)
{
    return QByteArray::fromStdString(brisora::test::fixture(name));
}

/// `body` padded in front so that the whole reply is `size` bytes.
QByteArray padded(const QByteArray& body, qsizetype size)
{
    return QByteArray(size - body.size(), ' ') + body;
}

class PlaceSearchTest : public testing::Test
{
protected:
    PlaceSearchTest()
    {
        auto socket = std::make_unique<FakeTcpClient>();
        sock = socket.get();
        search = std::make_unique<PlaceSearch>(std::move(socket),
                                               parseServiceHost("places.example:8417"), view);
        search->loadPending("2459115", ">New York");
    }

    void find(const QString& words)
    {
        view.words = words;
        search->FindLocation();
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            search->Timer1_Timer();
    }
    /// Runs a search whose reply is `reply`, delivered in two pieces, and one tick.
    void searchWithReply(const QByteArray& reply)
    {
        find(QStringLiteral("Lakeside"));
        sock->deliverConnect();
        sock->deliverData(reply.left(reply.size() / 2));
        sock->deliverData(reply.mid(reply.size() / 2));
        ticks(1);
    }

    test::FakeSearchView view;
    FakeTcpClient* sock = nullptr;
    std::unique_ptr<PlaceSearch> search;
};

} // namespace

TEST_F(PlaceSearchTest, RequestCarriesTheEscapedWordsInQuotes)
{
    find(QStringLiteral("Eiffel Tower"));
    EXPECT_EQ(sock->connects, QStringList{"places.example:8417"});
    EXPECT_EQ(view.status, "searching Eiffel Tower... ");
    EXPECT_FALSE(view.okay);
    EXPECT_TRUE(search->timerEnabled());
    EXPECT_EQ(search->pendingName(), "");
    EXPECT_EQ(search->pendingWoeid(), "2459115");
    sock->deliverConnect();
    ASSERT_EQ(sock->sent.size(), 1);
    EXPECT_EQ(sock->sent[0], "GET " + kPrefix.toLatin1() +
                                 "'Eiffel%20Tower' HTTP/1.1\r\n"
                                 "Accept: */*\r\n"
                                 "Accept-Language: en-us\r\n"
                                 "Accept-Encoding: \r\n"
                                 "User-Agent: \r\n"
                                 "Host: places.example:8417\r\n"
                                 "Connection: Keep-Alive\r\n"
                                 "\r\n");

    const struct
    {
        QString words;
        const char* quoted;
    } cases[] = {
        {QStringLiteral("a  b"), "'a%20%20b'"},
        {QStringLiteral("Rome "), "'Rome%20'"},
        {QString(), "''"},
        {QStringLiteral("O'Hare \"x\" & #1+%"), "'O%27Hare%20%22x%22%20%26%20%231%2B%25'"},
        {QStringLiteral("S\u00e3o Paulo"), "'S%C3%A3o%20Paulo'"},
        {QStringLiteral("Paris\r\nHost: evil"), "'Paris%0D%0AHost%3A%20evil'"},
    };
    for (const auto& c : cases) {
        find(c.words);
        EXPECT_EQ(view.status, "searching " + c.words + "... ");
        sock->deliverConnect();
        const QByteArray firstLine = sock->sent.last().left(sock->sent.last().indexOf("\r\n"));
        EXPECT_EQ(firstLine, "GET " + kPrefix.toLatin1() + c.quoted + " HTTP/1.1") << c.quoted;
        EXPECT_EQ(sock->sent.last().count("\r\n"), 8) << c.quoted;
    }
}

TEST_F(PlaceSearchTest, ReplyOfExactly1000BytesNeverCompletesAndTimesOutAtTick201)
{
    find(QStringLiteral("Lakeside"));
    sock->deliverConnect();
    sock->deliverData(fixture("search-one.txt").left(1000));
    ticks(200);
    EXPECT_EQ(view.status, "searching Lakeside... ");
    EXPECT_TRUE(search->timerEnabled());
    ticks(1);
    EXPECT_EQ(view.status, kTimeOut);
    EXPECT_FALSE(search->timerEnabled());
    EXPECT_FALSE(view.okay);
    // The connection stays open and what arrived stays in the buffer.
    EXPECT_EQ(sock->closeCount, 1);
    EXPECT_EQ(search->searchReply().size(), 1000u);
    EXPECT_EQ(search->searchBytes(), 0);
    EXPECT_EQ(search->searchTicks(), 0);
}

TEST_F(PlaceSearchTest, OneMoreByteCompletesAtTheNextTick)
{
    searchWithReply(
        padded("<woeid>7</woeid><locality1 type=\"Town\" woeid=\"7\">Lakeside</locality1>", 1001));
    EXPECT_FALSE(search->timerEnabled());
    EXPECT_EQ(view.status, ">Lakeside Found  !");
    EXPECT_TRUE(view.okay);
    EXPECT_EQ(view.focus, "cmdOK");
    EXPECT_EQ(search->pendingWoeid(), "7");
    EXPECT_EQ(search->pendingName(), ">Lakeside");
    EXPECT_EQ(search->searchReply(), "");
    EXPECT_EQ(search->searchBytes(), 0);
    // The connection stays open; later data is gathered but nothing ticks to look at it.
    sock->deliverData(QByteArray(2000, 'x'));
    EXPECT_FALSE(search->timerEnabled());
    EXPECT_EQ(sock->closeCount, 1);
}

TEST_F(PlaceSearchTest, NetworkErrorShowsUntilTheTimeOutReplacesIt)
{
    find(QStringLiteral("Lakeside"));
    sock->deliverError();
    EXPECT_EQ(view.status, "network error");
    ticks(200);
    EXPECT_EQ(view.status, "network error");
    ticks(1);
    EXPECT_EQ(view.status, kTimeOut);
}

TEST_F(PlaceSearchTest, NewSearchDuringASearchStartsFromScratch)
{
    find(QStringLiteral("Lake"));
    sock->deliverConnect();
    sock->deliverData(QByteArray(600, 'x'));
    ticks(150);
    search->loadPending("42", ">Old");
    view.okay = true;

    find(QStringLiteral("Lakeside"));
    EXPECT_EQ(sock->closeCount, 2);
    EXPECT_EQ(sock->connects.size(), 2);
    EXPECT_EQ(search->searchReply(), "");
    EXPECT_EQ(search->searchBytes(), 0);
    EXPECT_EQ(search->searchTicks(), 0);
    EXPECT_EQ(search->pendingName(), "");
    EXPECT_EQ(search->pendingWoeid(), "42");
    EXPECT_FALSE(view.okay);
    // The old search's 150 ticks do not count toward the new one's time-out.
    ticks(200);
    EXPECT_EQ(view.status, "searching Lakeside... ");
}

TEST_F(PlaceSearchTest, RecordedRepliesGiveTheFirstPlaceOrNothing)
{
    searchWithReply(fixture("search-one.txt"));
    EXPECT_EQ(view.status, QStringLiteral(">S\u00e3o Paulo Found  !"));
    EXPECT_EQ(search->pendingWoeid(), "90455827");

    searchWithReply(fixture("search-several.txt"));
    EXPECT_TRUE(view.okay);
    const std::string several = fixture("search-several.txt").toStdString();
    const auto id = several.substr(several.find("<woeid>") + 7);
    EXPECT_EQ(search->pendingWoeid(), id.substr(0, id.find('<')));

    // "No result" is short: it never completes.
    searchWithReply(fixture("search-none.txt"));
    ticks(200);
    EXPECT_EQ(view.status, kTimeOut);
    EXPECT_FALSE(view.okay);
}

TEST_F(PlaceSearchTest, UnusableRepliesAskToSlowDownAndKeepOkayOff)
{
    // No locality: the id is taken, the name stays empty.
    searchWithReply(padded("<woeid>55</woeid><locality1/>", 1200));
    EXPECT_EQ(view.status, kEasyBoy);
    EXPECT_FALSE(view.okay);
    EXPECT_EQ(view.focus, "txtWord");
    EXPECT_EQ(search->pendingWoeid(), "55");
    EXPECT_EQ(search->pendingName(), "");

    // A ">" too early in the locality slice.
    searchWithReply(
        padded("<woeid>56</woeid><locality1 type=\"Town\" woeid=\">X</locality1>", 1200));
    EXPECT_EQ(view.status, kEasyBoy);
    EXPECT_FALSE(view.okay);

    // Markers out of order: the pending id is left alone.
    search->loadPending("99", "");
    searchWithReply(
        padded("</woeid>1<woeid><locality1 type=\"Town\" woeid=\"1\">A</locality1>", 1200));
    EXPECT_EQ(view.status, kEasyBoy);
    EXPECT_EQ(search->pendingWoeid(), "99");

    // Markup in a name stays text.
    searchWithReply(
        padded("<woeid>57</woeid><locality1 type=\"Town\" woeid=\"57\"><b>x</locality1>", 1200));
    EXPECT_EQ(view.status, "><b>x Found  !");
}

TEST_F(PlaceSearchTest, DataIsTakenOnlyWhileConnectedAndKeptWithinBounds)
{
    find(QStringLiteral("Lakeside"));
    sock->deliverData(QByteArray(2000, 'x')); // still connecting
    ticks(1);
    EXPECT_EQ(search->searchBytes(), 0);
    EXPECT_TRUE(search->timerEnabled());

    sock->deliverConnect();
    const QByteArray chunk(512 * 1024, 'y');
    for (int i = 0; i < 6; ++i)
        sock->deliverData(chunk);
    EXPECT_EQ(search->searchBytes(), 6 * chunk.size());
    EXPECT_EQ(search->searchReply().size(), PlaceSearch::kMaxKeptBytes);
    ticks(1);
    EXPECT_EQ(view.status, kEasyBoy);
}

TEST(PlaceSearchLoopback, FindsAPlaceThroughARealSocket)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray reply = fixture("search-one.txt");
    QByteArray request;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        QTcpSocket* peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, peer, [&, peer] {
            request += peer->readAll();
            if (request.endsWith("\r\n\r\n"))
                peer->write(reply); // and keep the connection open
        });
    });

    test::FakeSearchView view;
    view.words = QStringLiteral("S\u00e3o Paulo");
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
    PlaceSearch search(test::makeSystemTcpClient(), parseServiceHost(host.toStdString()), view);
    search.FindLocation();

    EXPECT_TRUE(QTest::qWaitFor([&] { return view.okay; }, 5000)) << view.status.toStdString();
    EXPECT_EQ(view.status, QStringLiteral(">S\u00e3o Paulo Found  !"));
    EXPECT_EQ(search.pendingWoeid(), "90455827");
    EXPECT_TRUE(
        request.startsWith("GET " + kPrefix.toLatin1() + "'S%C3%A3o%20Paulo' HTTP/1.1\r\n"));
    EXPECT_TRUE(request.contains("\r\nHost: " + host.toLatin1() + "\r\n"));
}
