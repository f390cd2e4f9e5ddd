#pragma once
// The gateway as a process of its own, and a client that talks to it as the widget does.

#include "FakeUpstream.h"
#include "ServiceTestSupport.h"
#include "feed/RequestTemplate.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace brisora::gateway::test {

/// The gateway as its own process on an ephemeral loopback port.
class GatewayProcess : public ::testing::Test
{
protected:
    ~GatewayProcess() override { stop(); }

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

    /// The options that point both live sources at `upstream`, Open-Meteo's forecast and
    /// geocoder at /v1 and MET Norway's at `metNorwayPath`, with their files in `cache`.
    static QStringList liveSource(const FakeUpstream& upstream, const QTemporaryDir& cache)
    {
        const QString base = upstream.baseUrl().toString();
        return {QStringLiteral("--forecast-url"),   base + QStringLiteral("/v1/forecast"),
                QStringLiteral("--geocoding-url"),  base + QStringLiteral("/v1"),
                QStringLiteral("--met-norway-url"), base + QStringLiteral("/locationforecast/2.0"),
                QStringLiteral("--cache-dir"),      cache.path()};
    }

    static constexpr char metNorwayPath[] = "/locationforecast/2.0/compact";

    void stop()
    {
        gateway.kill();
        gateway.waitForFinished(2000);
    }

    QProcess gateway;
};

/// A connection to the gateway that talks as the widget does, with the widget's own
/// request template and reply cutters.
struct WidgetClient
{
    explicit WidgetClient(quint16 gatewayPort) : host("127.0.0.1:" + std::to_string(gatewayPort))
    {
        socket.connectToHost(QHostAddress::LocalHost, gatewayPort);
        EXPECT_TRUE(socket.waitForConnected(2000));
    }

    /// Sends the widget's request for `path` and gathers the reply the way the widget does:
    /// until more than `complete` bytes have come, with the connection left open.
    std::string fetch(const std::string& path, qsizetype complete)
    {
        send(path);
        return receive(complete);
    }

    void send(const std::string& path)
    {
        socket.write(QByteArray::fromStdString(brisora::buildRequest(path, host)));
    }

    /// The reply to what was sent, gathered as `fetch` does.
    std::string receive(qsizetype complete)
    {
        QByteArray reply;
        runUntil([&] {
            reply += socket.readAll();
            return reply.size() > complete || socket.state() != QAbstractSocket::ConnectedState;
        });
        EXPECT_EQ(socket.state(), QAbstractSocket::ConnectedState);
        return reply.toStdString();
    }

    std::string host;
    QTcpSocket socket;
};

} // namespace brisora::gateway::test
