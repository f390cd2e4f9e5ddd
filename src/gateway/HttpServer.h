#pragma once

#include "FeedService.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <chrono>

namespace brisora::gateway {

/// The gateway's HTTP/1.1 server: accepts connections on one address and hands each to an
/// HttpConnection that answers through `service`. Runs entirely on the event loop.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        std::chrono::milliseconds idleTimeout = std::chrono::seconds(60);
        std::size_t maxHeadBytes = 8192;
        int maxConnections = 1000;
    };

    HttpServer(FeedService& service, Limits limits, QObject* parent = nullptr);

    /// Starts listening; false (with errorString()) when the address cannot be bound.
    bool listen(const QHostAddress& address, quint16 port);
    /// Serves on `descriptor`, a socket already bound and listening (handed over by the
    /// service manager); false (with errorString()) when it cannot be used.
    bool adopt(qintptr descriptor);
    QHostAddress serverAddress() const { return m_server.serverAddress(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    int openConnections() const { return m_openConnections; }

    /// The Date header value for now, made at most once a second.
    QByteArray currentHttpDate();

signals:
    /// A connection was accepted or has gone; `count` is openConnections() now.
    void openConnectionsChanged(int count);

private:
    void acceptConnections();

    FeedService& m_service;
    Limits m_limits;
    QTcpServer m_server;
    int m_openConnections = 0;
    qint64 m_dateSecond = -1;
    QByteArray m_date;
};

} // namespace brisora::gateway
