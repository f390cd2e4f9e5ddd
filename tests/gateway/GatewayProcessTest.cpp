#include "GatewayProcess.h"
#include "FakeUpstream.h"
#include "GatewayTestData.h"
#include "feed/FeedCutter.h"
#include "feed/RequestTemplate.h"
#include "search/PlaceReplyCutter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisora::gateway::test;

TEST_F(GatewayProcess, DemoSourceServesTheWidgetEndToEnd)
{
    WidgetClient widget(start({QStringLiteral("--demo")}));

    const brisora::PlaceCut place =
        brisora::cutPlaceReply(widget.fetch(brisora::searchPath("new york"), 1000));
    ASSERT_TRUE(place.found);
    EXPECT_EQ(place.name, ">New York");

    // The same keep-alive connection carries the feed request for the place found.
    const std::string reply = widget.fetch(brisora::feedPath(*place.woeid, 0), 2000);
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
    WidgetClient widget(start(liveSource(upstream, cache)
                              << QStringLiteral("--forecast-fresh") << QStringLiteral("2")));

    const brisora::PlaceCut place =
        brisora::cutPlaceReply(widget.fetch(brisora::searchPath("Minneapolis"), 1000));
    ASSERT_TRUE(place.found);
    const std::string feedPath = brisora::feedPath(*place.woeid, 1);
    const brisora::FeedCut feed = brisora::cutFeed(widget.fetch(feedPath, 2000), 1);
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
    const brisora::FeedCut fresh = brisora::cutFeed(widget.fetch(feedPath, 2000), 1);
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
    upstream.setReply(
        metNorwayPath,
        {200, movedToThisHour(testData(QStringLiteral("metno/compact_moscow_2026-06-26.json")))});
    QTemporaryDir cache;
    const quint16 port = start(liveSource(upstream, cache));
    WidgetClient widget(port);
    const brisora::PlaceCut place =
        brisora::cutPlaceReply(widget.fetch(brisora::searchPath("Minneapolis"), 1000));
    ASSERT_TRUE(place.found);
    widget.fetch(brisora::feedPath(*place.woeid, 0), 10);

    const QString failure = QStringLiteral("brisora-gateway: upstream %1/v1/forecast failed: "
                                           "status 503, reason \"The service is overloaded\"\n")
                                .arg(upstream.baseUrl().toString());
    QString log;
    EXPECT_TRUE(runUntil([&] {
        log += QString::fromUtf8(gateway.readAllStandardError());
        return log.contains(failure);
    })) << log.toStdString();
    // The start, the failure and the switch to the fallback; the ordinary search left no line.
    EXPECT_TRUE(runUntil([&] {
        log += QString::fromUtf8(gateway.readAllStandardError());
        return log.count(QLatin1Char('\n')) >= 3;
    }));
    const QStringList lines = log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << log.toStdString();
    EXPECT_TRUE(lines[2].startsWith(
        QStringLiteral("brisora-gateway: forecasts from met-norway now: open-meteo failed")))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[0].startsWith(
        QStringLiteral("brisora-gateway: listening on 127.0.0.1:%1, source open-meteo (")
            .arg(port)))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(", TLS %1)").arg(QSslSocket::activeBackend())))
        << "the start line names the TLS library HTTPS goes through: " << lines[0].toStdString();
}

TEST_F(GatewayProcess, WithALogFileTheLinesGoThereTimeStampedAndNoneToStandardError)
{
    FakeUpstream upstream;
    upstream.setReply("/v1/search", {200, testData(QStringLiteral("geocoding_search.json"))});
    upstream.setReply("/v1/forecast",
                      {503, R"({"reason":"The service is overloaded","error":true})"});
    QTemporaryDir cache;
    // In a folder not made yet, as on the widget's first start of the gateway.
    const QString path = cache.filePath(QStringLiteral("logs/gateway.log"));
    WidgetClient widget(start(liveSource(upstream, cache)
                              << QStringLiteral("--fallback-source") << QStringLiteral("none")
                              << QStringLiteral("--log-file") << path));
    const brisora::PlaceCut place =
        brisora::cutPlaceReply(widget.fetch(brisora::searchPath("Minneapolis"), 1000));
    ASSERT_TRUE(place.found);
    widget.fetch(brisora::feedPath(*place.woeid, 0), 10);

    const QString stamp = QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ ");
    const QRegularExpression lines(
        QStringLiteral("^%1listening on 127\\.0\\.0\\.1:\\d+, [^\r\n]*\n"
                       "%1upstream [^ ]+/v1/forecast failed: status 503, [^\r\n]*\n$")
            .arg(stamp));
    QString log;
    EXPECT_TRUE(runUntil([&] {
        QFile file(path);
        log = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        return lines.match(log).hasMatch();
    })) << log.toStdString();
    stop();
    EXPECT_EQ(gateway.readAllStandardError().toStdString(), "");
}

TEST_F(GatewayProcess, MetNorwayAnswersWhileOpenMeteoIsDownAndOpenMeteoAgainOnceBack)
{
    enum class Fault
    {
        Refused,
        Hangs,
        RateLimited,
        ServerError, // last: Open-Meteo then comes back
    };
    FakeUpstream met;
    met.setReply(
        metNorwayPath,
        {200, movedToThisHour(testData(QStringLiteral("metno/compact_moscow_2026-06-26.json")))});
    QTemporaryDir secrets;
    QFile keyFile(secrets.filePath(QStringLiteral("open-meteo.key")));
    ASSERT_TRUE(keyFile.open(QIODevice::WriteOnly));
    keyFile.write("  s3cr3t-Key_1 \n");
    keyFile.close();
    for (const Fault fault :
         {Fault::Refused, Fault::Hangs, Fault::RateLimited, Fault::ServerError}) {
        SCOPED_TRACE(testing::Message() << "fault " << int(fault));
        stop();
        auto openMeteo = std::make_unique<FakeUpstream>();
        openMeteo->setReply("/v1/search", {200, testData(QStringLiteral("geocoding_search.json"))});
        openMeteo->setReply("/v1/forecast",
                            {200, testData(QStringLiteral("forecast_metric.json"))});
        QTemporaryDir cache;
        const quint16 port =
            start(liveSource(*openMeteo, cache)
                  << QStringLiteral("--met-norway-url")
                  << met.baseUrl().toString() + QStringLiteral("/locationforecast/2.0")
                  << QStringLiteral("--open-meteo-apikey-file") << keyFile.fileName()
                  << QStringLiteral("--forecast-fresh") << QStringLiteral("1")
                  << QStringLiteral("--upstream-timeout") << QStringLiteral("1500"));
        WidgetClient older(port);
        const brisora::PlaceCut place =
            brisora::cutPlaceReply(older.fetch(brisora::searchPath("Minneapolis"), 1000));
        ASSERT_TRUE(place.found);
        // Open-Meteo's metric feed, past fresh by the fault, is the older document at hand.
        const std::string metricPath = brisora::feedPath(*place.woeid, 1);
        ASSERT_EQ(brisora::cutFeed(older.fetch(metricPath, 2000), 1).temperature, "-3 \u00b0C");
        runUntil([] { return false; }, 1100);
        for (const QByteArray& head : openMeteo->heads())
            EXPECT_TRUE(head.left(head.indexOf(' ', 4)).endsWith("&apikey=s3cr3t-Key_1"))
                << head.toStdString();
        switch (fault) {
        case Fault::Refused:
            openMeteo.reset();
            break;
        case Fault::Hangs:
            openMeteo->setReply("/v1/forecast", {200, "{}", {}, true});
            break;
        case Fault::RateLimited:
            openMeteo->setReply(
                "/v1/forecast",
                {429, R"({"reason":"Minutely API request limit exceeded. Please try again in )"
                      R"(one minute.","error":true})"});
            break;
        case Fault::ServerError:
            openMeteo->setReply("/v1/forecast",
                                {503, R"({"reason":"The service is overloaded","error":true})"});
            break;
        }

        // Both at once: the older document's units, and the other units, of which none is.
        WidgetClient fresh(port);
        QElapsedTimer attempt;
        attempt.start();
        older.send(metricPath);
        fresh.send(brisora::feedPath(*place.woeid, 0));
        const std::string metric = older.receive(2000);
        const qint64 metricMs = attempt.elapsed();
        const std::string imperial = fresh.receive(2000);
        const qint64 bothMs = attempt.elapsed();
        EXPECT_EQ(brisora::cutFeed(metric, 1).temperature, "18 \u00b0C");
        EXPECT_EQ(brisora::cutFeed(imperial, 0).temperature, "64 \u00b0F");
        EXPECT_LT(bothMs, 2800);
        if (fault == Fault::Hangs) {
            EXPECT_GE(metricMs, 950); // MET is asked once Open-Meteo has had its second
            RecordProperty("first_hanging_feed_ms", static_cast<int>(metricMs));
        }
        // The feed credits the source it came from.
        EXPECT_NE(metric.find("Weather data by MET Norway"), std::string::npos) << metric;
        EXPECT_EQ(metric.find("Open-Meteo.com"), std::string::npos) << metric;
        for (const QByteArray& head : met.heads())
            EXPECT_FALSE(head.contains("apikey")) << head.toStdString();

        QString log;
        EXPECT_TRUE(runUntil([&] {
            log += QString::fromUtf8(gateway.readAllStandardError());
            return log.contains(QStringLiteral("forecasts from met-norway now: open-meteo failed"));
        })) << log.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("s3cr3t"))) << log.toStdString();
        if (fault != Fault::ServerError)
            continue;
        const qsizetype openMeteoHeads = openMeteo->heads().size();

        // Back: after its first pause, a minute, the next request finds Open-Meteo again.
        openMeteo->setReply("/v1/forecast",
                            {200, testData(QStringLiteral("forecast_metric.json"))});
        std::string feed;
        while (feed != "-3 \u00b0C" && attempt.elapsed() < 70'000) {
            runUntil([] { return false; }, 1000);
            feed = brisora::cutFeed(older.fetch(metricPath, 2000), 1).temperature;
        }
        EXPECT_EQ(feed, "-3 \u00b0C");
        EXPECT_GE(attempt.elapsed(), 59'000) << "Open-Meteo was asked again before its pause";
        EXPECT_EQ(openMeteo->heads().size(), openMeteoHeads + 1); // one try, after the pause
        // Logged before the feed was sent: all of it is in the pipe once the gateway is gone.
        stop();
        log += QString::fromUtf8(gateway.readAllStandardError());
        EXPECT_TRUE(log.contains(QStringLiteral("forecasts from open-meteo again: it answered")))
            << log.toStdString();
    }
}

TEST_F(GatewayProcess, CommandLineHelpVersionAndMistakes)
{
    QProcess help;
    help.start(QStringLiteral(BRISORA_GATEWAY_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    const QByteArray text = help.readAllStandardOutput();
    for (const char* option :
         {"--listen", "--source", "--demo", "--forecast-url", "--geocoding-url", "--nominatim-url",
          "--met-norway-url", "--fallback-source", "--fallback-forecast-url",
          "--open-meteo-apikey-file", "--contact", "--cache-dir", "--forecast-fresh",
          "--exit-when-idle", "--log-file"})
        EXPECT_TRUE(text.contains(option)) << option;

    // A contact goes into a header: nothing in it may end the User-Agent's comment or the line.
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--listen"), QStringLiteral("nowhere")},
          QStringList{QStringLiteral("--contact"), QStringLiteral("me\r\nX-Evil: 1")},
          QStringList{QStringLiteral("--contact"), QStringLiteral("a) b")},
          // A fallback that would ask the same service again is none.
          QStringList{QStringLiteral("--fallback-source"), QStringLiteral("open-meteo")},
          QStringList{QStringLiteral("--source"), QStringLiteral("met-norway"),
                      QStringLiteral("--fallback-source"), QStringLiteral("met-norway")},
          QStringList{QStringLiteral("--demo"), QStringLiteral("--fallback-source"),
                      QStringLiteral("met-norway")},
          QStringList{QStringLiteral("--open-meteo-apikey-file"),
                      QStringLiteral("/nonexistent")}}) {
        QProcess wrong;
        wrong.start(QStringLiteral(BRISORA_GATEWAY_EXE), arguments);
        ASSERT_TRUE(wrong.waitForFinished(5000));
        EXPECT_EQ(wrong.exitCode(), 2) << arguments.join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(GatewayProcess, LandmarksAndPostcodesFoundThroughTheOptionsDialogsOwnSearch)
{
    FakeUpstream upstream;
    upstream.setReply("/v1/search", {200, R"({"generationtime_ms":0.2})"});
    upstream.setReply("/v1/forecast", {200, testData(QStringLiteral("forecast_metric.json"))});
    FakeUpstream nominatim;
    nominatim.setReplyFor("/search", "q=Eiffel%20Tower&",
                          {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    nominatim.setReplyFor("/search", "q=60610&",
                          {200, testData(QStringLiteral("nominatim_postcode.json"))});
    nominatim.setReply("/lookup", {200, testData(QStringLiteral("nominatim_eiffel.json"))});
    QTemporaryDir cache;
    const QStringList arguments = liveSource(upstream, cache)
                                  << QStringLiteral("--nominatim-url")
                                  << nominatim.baseUrl().toString() << QStringLiteral("--contact")
                                  << QStringLiteral("ops@example.org");
    std::string towerId;
    {
        WidgetClient widget(start(arguments));
        const brisora::PlaceCut tower =
            brisora::cutPlaceReply(widget.fetch(brisora::searchPath("Eiffel Tower"), 1000));
        ASSERT_TRUE(tower.found);
        EXPECT_EQ(tower.name, ">Eiffel Tower, Paris");
        towerId = *tower.woeid;
        const brisora::FeedCut feed =
            brisora::cutFeed(widget.fetch(brisora::feedPath(towerId, 1), 2000), 1);
        ASSERT_TRUE(feed.complete());
        EXPECT_EQ(feed.title, "Eiffel Tower, Paris");
        EXPECT_EQ(feed.temperature, "-3 \u00b0C");
        const brisora::PlaceCut postcode =
            brisora::cutPlaceReply(widget.fetch(brisora::searchPath("60610"), 1000));
        EXPECT_EQ(postcode.name, ">60610, Chicago");
    }
    ASSERT_EQ(nominatim.heads().size(), 2);
    EXPECT_GE(nominatim.arrivalsMs()[1] - nominatim.arrivalsMs()[0], 1000);

    // A restart answers the same words from the disk; with the disk gone, the id is looked up.
    stop();
    {
        WidgetClient widget(start(arguments));
        EXPECT_TRUE(
            brisora::cutPlaceReply(widget.fetch(brisora::searchPath("eiffel tower"), 1000)).found);
    }
    EXPECT_EQ(nominatim.heads().size(), 2);
    stop();
    ASSERT_TRUE(QDir(cache.path()).removeRecursively());
    {
        WidgetClient widget(start(arguments));
        EXPECT_EQ(brisora::cutFeed(widget.fetch(brisora::feedPath(towerId, 1), 2000), 1).title,
                  "Eiffel Tower, Paris");
    }
    ASSERT_EQ(nominatim.heads().size(), 3);
    EXPECT_TRUE(nominatim.heads()[2].startsWith("GET /lookup?osm_ids=W5013364&format=jsonv2&"));
    for (const QByteArray& head : nominatim.heads())
        EXPECT_TRUE(head.contains(QByteArrayLiteral("\r\nUser-Agent: brisora-gateway/") +
                                  BRISORA_GATEWAY_VERSION +
                                  " (+https://brisora.org; ops@example.org)\r\n"))
            << head.toStdString();
}

TEST_F(GatewayProcess, ExitsWhenIdleButNotWhileAClientIsConnected)
{
    WidgetClient widget(
        start({QStringLiteral("--demo"), QStringLiteral("--exit-when-idle"), QStringLiteral("1")}));
    ASSERT_TRUE(brisora::cutPlaceReply(widget.fetch(brisora::searchPath("paris"), 1000)).found);
    runUntil([] { return false; }, 1500);
    EXPECT_EQ(gateway.state(), QProcess::Running);

    widget.socket.disconnectFromHost();
    ASSERT_TRUE(gateway.waitForFinished(4000));
    EXPECT_EQ(gateway.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gateway.exitCode(), 0);
    // The log's last line says why it ended. The time counts from the disconnection, not from
    // the start (which was over 2.5 s before), with room for a late timer on a busy machine.
    const QString log = QString::fromUtf8(gateway.readAllStandardError());
    EXPECT_TRUE(log.contains(
        QRegularExpression(QStringLiteral("\nbrisora-gateway: exiting after [12] s idle\n$"))))
        << log.toStdString();
}
