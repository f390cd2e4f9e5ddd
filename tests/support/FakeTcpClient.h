#pragma once

#include "TcpClient.h"

#include <QStringList>

namespace brisora::test {

/// A socket driven by hand: it records what the code asks of it, and the test delivers
/// events with the deliver* calls.
class FakeTcpClient final : public TcpClient
{
    Q_OBJECT
public:
    using TcpClient::TcpClient;

    void Connect(const QString& host, quint16 port) override;
    void SendData(const QByteArray& bytes) override;
    QByteArray GetData() override;
    void Close() override;
    int State() const override { return state; }

    /// The peer accepted: state 7 and the Connected event.
    void deliverConnect();
    /// `bytes` arrive: queued for GetData and announced with their count.
    void deliverData(const QByteArray& bytes);
    /// The connection failed.
    void deliverError(int number = 10061, const QString& text = QStringLiteral("refused"));
    /// The peer closed its side: no longer connected.
    void deliverPeerClose() { state = kStateClosed; }

    int state = kStateClosed;
    QByteArray pending;
    QStringList connects; ///< "host:port" of every Connect
    QList<QByteArray> sent;
    int closeCount = 0;
};

} // namespace brisora::test
