#include "HttpServer.h"

#include "HttpConnection.h"
#include "HttpResponse.h"

#include <QDateTime>
#include <QTcpSocket>

namespace brisora::gateway {

HttpServer::HttpServer(FeedService& service, Limits limits, QObject* parent)
    : QObject(parent), m_service(service), m_limits(limits)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::acceptConnections);
}

bool HttpServer::listen(const QHostAddress& address, quint16 port)
{
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
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_openConnections >= m_limits.maxConnections) {
            // Full: refuse rather than run out of descriptors for everyone.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_openConnections;
        auto* connection = new HttpConnection(socket, m_service, *this, m_limits.idleTimeout,
                                              m_limits.maxHeadBytes, this);
        connect(connection, &QObject::destroyed, this,
                [this] { emit openConnectionsChanged(--m_openConnections); });
        emit openConnectionsChanged(m_openConnections);
    }
}

} // namespace brisora::gateway
