#pragma once

#include "FeedService.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>

class QTcpSocket;

namespace brisora::gateway {

class HttpServer;

/// One client connection: reads request heads, answers them one at a time and in order
/// (later pipelined requests wait in the buffer), keeps the connection open after each
/// reply unless the client asked otherwise, and closes it when `idleTimeout` passes after
/// the last reply (or the connection's start) without a complete new request. A head it cannot read
/// gets a short 4xx/505 reply and the connection is closed, since the request's end cannot be
/// known. Deletes itself when the socket closes.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    /// Takes `socket` into this object's Qt parent tree.
    HttpConnection(QTcpSocket* socket, FeedService& service, HttpServer& server,
                   std::chrono::milliseconds idleTimeout, std::size_t maxHeadBytes,
                   QObject* parent);

private:
    void readIncoming();
    void processBuffer();
    void answer(int status, const QByteArray& body, bool keepAlive);
    void closeAfterWriting();

    QTcpSocket* m_socket; // child of this
    FeedService& m_service;
    HttpServer& m_server;
    std::size_t m_maxHeadBytes;
    QTimer m_idleTimer;
    QByteArray m_buffer;
    bool m_awaitingReply = false;
    bool m_processing = false;
    bool m_closing = false;
};

} // namespace brisora::gateway
