#include "QtTcpClient.h"

namespace brisora {

QtTcpClient::QtTcpClient(QObject* parent) : TcpClient(parent) {}

QtTcpClient::~QtTcpClient()
{
    dropSocket();
}

void QtTcpClient::Connect(const QString& host, quint16 port)
{
    dropSocket();
    socket_ = new QTcpSocket(this);
    QTcpSocket* s = socket_;
    connect(s, &QTcpSocket::connected, this, &TcpClient::Connected);
    connect(s, &QTcpSocket::readyRead, this, [this, s] {
        if (s == socket_)
            emit DataArrival(s->bytesAvailable());
    });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError error) {
        // A peer that closes its side after answering is not a failure: the data already
        // received stays valid, and an incomplete reply is retried by the caller's timer.
        if (s != socket_ || error == QAbstractSocket::RemoteHostClosedError)
            return;
        emit Error(static_cast<int>(error), s->errorString());
    });
    s->connectToHost(host, port);
}

void QtTcpClient::SendData(const QByteArray& bytes)
{
    if (socket_)
        socket_->write(bytes);
}

QByteArray QtTcpClient::GetData()
{
    return socket_ ? socket_->readAll() : QByteArray();
}

void QtTcpClient::Close()
{
    dropSocket();
}

int QtTcpClient::State() const
{
    if (!socket_)
        return kStateClosed;
    switch (socket_->state()) {
    case QAbstractSocket::ConnectedState:
        return kStateConnected;
    case QAbstractSocket::HostLookupState:
        return kStateLookingUp;
    case QAbstractSocket::ConnectingState:
        return kStateConnecting;
    case QAbstractSocket::ClosingState:
        return 8;
    default:
        return kStateClosed;
    }
}

void QtTcpClient::dropSocket()
{
    if (!socket_)
        return;
    QTcpSocket* s = socket_;
    socket_.clear();
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

} // namespace brisora
