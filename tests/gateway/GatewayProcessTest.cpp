#include "FakeUpstream.h"
#include "GatewayTestData.h"
#include "ServiceTestSupport.h"
#include "feed/FeedCutter.h"
#include "search/PlaceReplyCutter.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisora::gateway::test;

namespace {

QByteArray widgetRequest(const QByteArray& path)
{
    return "GET " + path +
           " HTTP/1.1\r\nAccept: */*\r\nAccept-Language: en-us\r\nAccept-Encoding: \r\n"
           "User-Agent: \r\nHost: 127.0.0.1:8417\r\nConnection: Keep-Alive\r\n\r\n";
}

QByteArray searchPath(const QByteArray& escapedWords)
{
    return "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20'" +
           escapedWords + "'";
}

/// The gateway as its own process on an ephemeral loopback port.
class GatewayProcess : public ::testing::Test
{
protected:
    ~GatewayProcess() override
    {
        gateway.kill();
        gateway.waitForFinished(2000);
    }

    quint16 start(const QStringList& arguments)
    {
        gateway.start(QStringLiteral(BRISORA_GATEWAY_EXE),
                      QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                          arguments);
        QByteArray output;
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QRegularExpressionMatch match;
        runUntil(
            [&] {
                output += gateway.readAllStandardOutput();
                match = listening.match(QString::fromUtf8(output));
                return match.hasMatch() || gateway.state() == QProcess::NotRunning;
            },
            5000);
        EXPECT_TRUE(match.hasMatch())
            << output.toStdString() << gateway.readAllStandardError().toStdString();
        return static_cast<quint16>(match.captured(1).toUInt());
    }

    /// Sends the widget's request on `socket` and gathers the reply the way the widget
    /// does: until more than `complete` bytes have come, with the connection left open.
    std::string fetch(QTcpSocket& socket, const QByteArray& path, qsizetype complete)
    {
        socket.write(widgetRequest(path));
        QByteArray reply;
        runUntil([&] {
            reply += socket.readAll();
            return reply.size() > complete || socket.state() != QAbstractSocket::ConnectedState;
        });
        EXPECT_EQ(socket.state(), QAbstractSocket::ConnectedState);
        return reply.toStdString();
    }

    QProcess gateway;
};

} // namespace

TEST_F(GatewayProcess, DemoSourceServesTheWidgetEndToEnd)
{
    const quint16 port = start({QStringLiteral("--demo")});
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));

    const brisora::PlaceCut place =
        brisora::cutPlaceReply(fetch(socket, searchPath("new%20york"), 1000));
    ASSERT_TRUE(place.found);
    EXPECT_EQ(place.name, ">New York");

    // The same keep-alive connection carries the feed request for the place found.
    const std::string reply =
        fetch(socket, "/forecastrss?w=" + QByteArray::fromStdString(*place.woeid), 2000);
    const brisora::FeedCut feed = brisora::cutFeed(reply, 0);
    ASSERT_TRUE(feed.complete()) << reply;
    EXPECT_EQ(feed.title, "New York, US (demo)");
    EXPECT_NE(feed.imageIndex, 49);
}

TEST_F(GatewayProcess, LiveSourceAgainstAFakeUpstreamAndFreshForecasts)
{
    FakeUpstream upstream;
    upstream.setReply("/v1/search", {200, testData(QStringLiteral("geocoding_search.json"))});
    upstream.setReply("/v1/forecast", {200, testData(QStringLiteral("forecast_metric.json"))});
    QTemporaryDir cache;
    const QString base = upstream.baseUrl().toString();
    const quint16 port =
        start({QStringLiteral("--forecast-url"), base + QStringLiteral("/v1/forecast"),
               QStringLiteral("--geocoding-url"), base + QStringLiteral("/v1"),
               QStringLiteral("--cache-dir"), cache.path(), QStringLiteral("--forecast-fresh"),
               QStringLiteral("2")});
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));

    const brisora::PlaceCut place =
        brisora::cutPlaceReply(fetch(socket, searchPath("Minneapolis"), 1000));
    ASSERT_TRUE(place.found);
    const QByteArray feedPath =
        "/forecastrss?w=" + QByteArray::fromStdString(*place.woeid) + "&u=c";
    const brisora::FeedCut feed = brisora::cutFeed(fetch(socket, feedPath, 2000), 1);
    ASSERT_TRUE(feed.complete());
    EXPECT_EQ(feed.title, "Minneapolis, Minnesota");
    EXPECT_EQ(feed.temperature, "-3 \u00b0C");

    // Two seconds on, the forecast is past its freshness: the reply is the new one, within
    // the widget's 2.8 s attempt.
    QByteArray warmer = testData(QStringLiteral("forecast_metric.json"));
    upstream.setReply("/v1/forecast",
                      {200, warmer.replace("\"temperature_2m\":-2.6", "\"temperature_2m\":7.2")});
    runUntil([] { return false; }, 2100);
    QElapsedTimer attempt;
    attempt.start();
    const brisora::FeedCut fresh = brisora::cutFeed(fetch(socket, feedPath, 2000), 1);
    EXPECT_LT(attempt.elapsed(), 2800);
    EXPECT_EQ(fresh.temperature, "7 \u00b0C");
    EXPECT_EQ(upstream.requestCount("/v1/forecast"), 2);
}

TEST_F(GatewayProcess, UpstreamFailuresAreLoggedOnStandardError)
{
    FakeUpstream upstream;
    upstream.setReply("/v1/search", {200, testData(QStringLiteral("geocoding_search.json"))});
    upstream.setReply("/v1/forecast",
                      {503, R"({"reason":"The service is overloaded","error":true})"});
    QTemporaryDir cache;
    const QString base = upstream.baseUrl().toString();
    const quint16 port =
        start({QStringLiteral("--forecast-url"), base + QStringLiteral("/v1/forecast"),
               QStringLiteral("--geocoding-url"), base + QStringLiteral("/v1"),
               QStringLiteral("--cache-dir"), cache.path()});
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));
    const brisora::PlaceCut place =
        brisora::cutPlaceReply(fetch(socket, searchPath("Minneapolis"), 1000));
    ASSERT_TRUE(place.found);
    fetch(socket, "/forecastrss?w=" + QByteArray::fromStdString(*place.woeid), 10);

    const QString failure = QStringLiteral("brisora-gateway: upstream %1/v1/forecast failed: "
                                           "status 503, reason \"The service is overloaded\"\n")
                                .arg(base);
    QString log;
    EXPECT_TRUE(runUntil([&] {
        log += QString::fromUtf8(gateway.readAllStandardError());
        return log.contains(failure);
    })) << log.toStdString();
    // The start and the failure; the ordinary search left no line.
    const QStringList lines = log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << log.toStdString();
    EXPECT_TRUE(lines[0].startsWith(
        QStringLiteral("brisora-gateway: listening on 127.0.0.1:%1, source open-meteo (")
            .arg(port)))
        << lines[0].toStdString();
}

TEST_F(GatewayProcess, CommandLineHelpVersionAndMistakes)
{
    QProcess help;
    help.start(QStringLiteral(BRISORA_GATEWAY_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    const QByteArray text = help.readAllStandardOutput();
    for (const char* option : {"--listen", "--source", "--demo", "--forecast-url",
                               "--geocoding-url", "--cache-dir", "--forecast-fresh"})
        EXPECT_TRUE(text.contains(option)) << option;

    QProcess wrong;
    wrong.start(QStringLiteral(BRISORA_GATEWAY_EXE),
                {QStringLiteral("--listen"), QStringLiteral("nowhere")});
    ASSERT_TRUE(wrong.waitForFinished(5000));
    EXPECT_EQ(wrong.exitCode(), 2);
}
