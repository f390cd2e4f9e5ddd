#pragma once

#include "TcpClient.h"

#include <memory>

namespace brisora {

class GatewayOnDemand;

/// A TcpClient that tells `onDemand` of every connection refused before it reports the
/// error as the socket it wraps does, so that the widget's next attempt finds a gateway the
/// refusal started. Everything else passes through unchanged.
class GatewayStartingTcpClient final : public TcpClient
{
    Q_OBJECT
public:
    GatewayStartingTcpClient(std::unique_ptr<TcpClient> socket, GatewayOnDemand& onDemand,
                             QObject* parent = nullptr);

    void Connect(const QString& host, quint16 port) override;
    void SendData(const QByteArray& bytes) override;
    QByteArray GetData() override;
    void Close() override;
    int State() const override;

private:
    void socketError(int number, const QString& description);

    TcpClient* socket_; // child of this
    GatewayOnDemand& onDemand_;
    QString host_;
    bool connecting_ = false;
};

} // namespace brisora
