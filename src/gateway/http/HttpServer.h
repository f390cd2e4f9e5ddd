#pragma once

#include "GatewayLog.h"
#include "RequestHandler.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QTcpServer>
#include <chrono>

namespace brisora::gateway {

class HttpConnection;

/// The gateway's HTTP/1.1 server: accepts connections on one address and hands each to an
/// HttpConnection that answers through `handler`. Runs entirely on the event loop.
///
/// At most `maxConnections` are open. When one more comes, the connection that has waited
/// longest without a complete request is closed to admit it, or, when there is none, the
/// longest-idle kept-alive one; only when every connection is being answered is the newcomer
/// refused. So a flood of clients that never finish a request cannot lock others out.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        /// A request head must be complete this long after the connection's start, or after
        /// the first byte of a request on a kept-alive connection.
        std::chrono::milliseconds headTimeout = std::chrono::seconds(10);
        /// A kept-alive connection may stay silent this long after a reply.
        std::chrono::milliseconds idleTimeout = std::chrono::seconds(60);
        std::size_t maxHeadBytes = 8192;
        int maxConnections = 1000;
    };

    HttpServer(RequestHandler& handler, Limits limits, GatewayLog log, QObject* parent = nullptr);

    /// Starts listening; false (with errorString()) when the address cannot be bound.
    bool listen(const QHostAddress& address, quint16 port);
    /// Serves on `descriptor`, a socket already bound and listening (handed over by the
    /// service manager); false (with errorString()) when it cannot be used.
    bool adopt(qintptr descriptor);
    QHostAddress serverAddress() const { return m_server.serverAddress(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    int openConnections() const { return static_cast<int>(m_connections.size()); }

    /// The Date header value for now, made at most once a second.
    QByteArray currentHttpDate();

signals:
    /// A connection was accepted or has gone; `count` is openConnections() now.
    void openConnectionsChanged(int count);

private:
    void acceptConnections();
    void recoverFromAcceptError(QAbstractSocket::SocketError error);
    /// Closes the connection to give up first (see the class comment); false when none may.
    bool closeOneForANewcomer();

    RequestHandler& m_handler;
    Limits m_limits;
    GatewayLog m_log;
    QTcpServer m_server;
    QSet<HttpConnection*> m_connections; // children of this; removed as soon as they close
    int m_acceptedThisTurn = 0;
    qint64 m_dateSecond = -1;
    QByteArray m_date;
};

} // namespace brisora::gateway
