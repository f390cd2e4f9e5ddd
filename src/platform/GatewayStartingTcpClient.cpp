#include "GatewayStartingTcpClient.h"

#include "GatewayOnDemand.h"

namespace brisora {

GatewayStartingTcpClient::GatewayStartingTcpClient(std::unique_ptr<TcpClient> socket,
                                                   GatewayOnDemand& onDemand, QObject* parent)
    : TcpClient(parent), socket_(socket.release()), onDemand_(onDemand)
{
    socket_->setParent(this);
    connect(socket_, &TcpClient::Connected, this, [this] {
        connecting_ = false;
        emit Connected();
    });
    connect(socket_, &TcpClient::DataArrival, this, &TcpClient::DataArrival);
    connect(socket_, &TcpClient::Error, this, &GatewayStartingTcpClient::socketError);
}

void GatewayStartingTcpClient::Connect(const QString& host, quint16 port)
{
    host_ = host;
    connecting_ = true;
    socket_->Connect(host, port);
}

void GatewayStartingTcpClient::SendData(const QByteArray& bytes)
{
    socket_->SendData(bytes);
}

QByteArray GatewayStartingTcpClient::GetData()
{
    return socket_->GetData();
}

void GatewayStartingTcpClient::Close()
{
    connecting_ = false;
    socket_->Close();
}

int GatewayStartingTcpClient::State() const
{
    return socket_->State();
}

void GatewayStartingTcpClient::socketError(int number, const QString& description)
{
    // Only a refusal of the connection itself says that nothing listens; an error of a
    // connection that stood says nothing about whether a gateway runs.
    if (connecting_)
        onDemand_.connectFailed(host_, number);
    connecting_ = false;
    emit Error(number, description);
}

} // namespace brisora
