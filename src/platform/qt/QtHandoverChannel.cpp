#include "QtHandoverChannel.h"

#include <QLocalSocket>

namespace brisora {

namespace {
constexpr int kConnectMilliseconds = 500; // a local peer answers at once or not at all
} // namespace

QtHandoverChannel::QtHandoverChannel(QObject* parent) : HandoverChannel(parent)
{
    connect(&server_, &QLocalServer::newConnection, this, &QtHandoverChannel::acceptAll);
}

bool QtHandoverChannel::listen(const QString& name)
{
    // Only the holder of the instance lock listens: what stands there was left by a killed
    // program.
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(name);
}

bool QtHandoverChannel::knock(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(kConnectMilliseconds);
}

void QtHandoverChannel::acceptAll()
{
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        peer->deleteLater();
        emit knocked();
    }
}

} // namespace brisora
