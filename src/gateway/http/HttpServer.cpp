#include "HttpServer.h"

#include "HttpConnection.h"
#include "HttpResponse.h"

#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>

namespace brisora::gateway {
namespace {

// Room in the kernel for connections not accepted yet: a burst of a thousand connects must
// not push a normal client into SYN retries, which cost it a second or more.
constexpr int listenBacklog = 4096;

// Connections taken on one turn of the event loop, at most.
constexpr int acceptsPerTurn = 64;

// After a failed accept, how long to wait before the next.
constexpr std::chrono::milliseconds acceptRetryDelay{100};

} // namespace

HttpServer::HttpServer(RequestHandler& handler, Limits limits, GatewayLog log, QObject* parent)
    : QObject(parent), m_handler(handler), m_limits(limits), m_log(std::move(log))
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::acceptConnections);
    connect(&m_server, &QTcpServer::acceptError, this, &HttpServer::recoverFromAcceptError);
}

bool HttpServer::listen(const QHostAddress& address, quint16 port)
{
    m_server.setListenBacklogSize(listenBacklog);
    return m_server.listen(address, port);
}

bool HttpServer::adopt(qintptr descriptor)
{
    return m_server.setSocketDescriptor(descriptor);
}

QByteArray HttpServer::currentHttpDate()
{
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != m_dateSecond) {
        m_dateSecond = second;
        m_date = httpDate(QDateTime::fromSecsSinceEpoch(second, Qt::UTC));
    }
    return m_date;
}

void HttpServer::acceptConnections()
{
    // A burst is taken in slices, and connections already taken are read in between: were a
    // flood of connects taken in one go, each pushing out the longest-waiting connection, it
    // could push out a normal client before its request, already sent, was even read. The
    // rest wait in QTcpServer, which stops accepting while it holds its maximum.
    while (m_acceptedThisTurn < acceptsPerTurn) {
        QTcpSocket* socket = m_server.nextPendingConnection();
        if (!socket)
            return;
        if (m_acceptedThisTurn++ == 0) {
            QTimer::singleShot(0, this, [this] {
                m_acceptedThisTurn = 0;
                acceptConnections();
            });
        }
        if (openConnections() >= m_limits.maxConnections && !closeOneForANewcomer()) {
            // Every connection is being answered: refuse rather than run out of descriptors.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* connection = new HttpConnection(socket, m_handler, *this, m_limits, this);
        m_connections.insert(connection);
        connect(connection, &QObject::destroyed, this, [this, connection] {
            if (m_connections.remove(connection))
                emit openConnectionsChanged(openConnections());
        });
        emit openConnectionsChanged(openConnections());
    }
}

bool HttpServer::closeOneForANewcomer()
{
    HttpConnection* reading = nullptr;
    HttpConnection* idle = nullptr;
    for (HttpConnection* connection : std::as_const(m_connections)) {
        // Connections being answered, or closing anyway, are left alone.
        const HttpConnection::Phase phase = connection->phase();
        HttpConnection*& oldest = phase == HttpConnection::Phase::ReadingHead ? reading : idle;
        if ((phase == HttpConnection::Phase::ReadingHead || phase == HttpConnection::Phase::Idle) &&
            (!oldest || connection->phaseStart() < oldest->phaseStart()))
            oldest = connection;
    }
    HttpConnection* victim = reading ? reading : idle;
    if (!victim)
        return false;
    // Out of the count at once: the object itself goes on the next turn of the event loop,
    // but its descriptor is closed now.
    m_connections.remove(victim);
    emit openConnectionsChanged(openConnections());
    victim->closeNow();
    return true;
}

void HttpServer::recoverFromAcceptError(QAbstractSocket::SocketError error)
{
    // QTcpServer stops accepting after a failed accept that is not a "try again" (a client
    // gone during its handshake, memory or descriptors short); the service must go on. A short
    // pause first, so that a lasting fault cannot keep the event loop spinning.
    m_log.write(QStringLiteral("cannot accept a connection (%1, %2 open): accepting again in "
                               "%3 ms")
                    .arg(m_server.errorString(), QString::number(openConnections()),
                         QString::number(acceptRetryDelay.count())));
    if (error == QAbstractSocket::SocketResourceError)
        closeOneForANewcomer();
    QTimer::singleShot(acceptRetryDelay, this, [this] { m_server.resumeAccepting(); });
}

} // namespace brisora::gateway
