#pragma once

#include "TcpClient.h"

#include <QPointer>
#include <QTcpSocket>

namespace brisora {

/// TcpClient on QTcpSocket. Each Connect uses a fresh QTcpSocket, so nothing that the
/// previous connection still had queued can reach the handlers after Close.
class QtTcpClient final : public TcpClient
{
    Q_OBJECT
public:
    explicit QtTcpClient(QObject* parent = nullptr);
    ~QtTcpClient() override;

    void Connect(const QString& host, quint16 port) override;
    void SendData(const QByteArray& bytes) override;
    QByteArray GetData() override;
    void Close() override;
    int State() const override;

private:
    void dropSocket();

    QPointer<QTcpSocket> socket_;
};

} // namespace brisora
