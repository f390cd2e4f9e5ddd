#pragma once

#include "HttpServer.h"
#include "RequestHandler.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>

class QTcpSocket;

namespace brisora::gateway {

/// One client connection: reads request heads, answers them one at a time and in order
/// (later pipelined requests wait in the buffer), and keeps the connection open after each
/// reply unless the client asked otherwise. A head must be complete within the head time-out
/// of the connection's start, of the reply before it when it was already waiting, or of its
/// first byte on a kept-alive connection; a kept-alive connection may stay silent for the idle
/// time-out. Past either, the connection is closed. A head it cannot read gets a short
/// 4xx/505 reply and the connection is closed, since the request's end cannot be known.
/// Deletes itself when the socket closes.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    enum class Phase
    {
        ReadingHead, // waiting for a complete request head
        Answering,   // a request is with the handler
        Idle,        // kept alive after a reply, nothing received since
        Closing,
    };

    /// Takes `socket` into this object's Qt parent tree.
    HttpConnection(QTcpSocket* socket, RequestHandler& handler, HttpServer& server,
                   const HttpServer::Limits& limits, QObject* parent);

    Phase phase() const { return m_phase; }
    /// When the present phase began, on the monotonic clock.
    std::chrono::steady_clock::time_point phaseStart() const { return m_phaseStart; }
    /// Closes the connection at once, dropping anything unsent; the object goes later.
    void closeNow();

private:
    void enter(Phase phase);
    void readIncoming();
    void processBuffer();
    void answer(int status, const QByteArray& body, bool keepAlive);
    void closeAfterWriting();

    QTcpSocket* m_socket; // child of this
    RequestHandler& m_handler;
    HttpServer& m_server;
    std::chrono::milliseconds m_headTimeout;
    std::chrono::milliseconds m_idleTimeout;
    std::size_t m_maxHeadBytes;
    QTimer m_deadline; // runs while reading a head and while idle
    Phase m_phase = Phase::ReadingHead;
    std::chrono::steady_clock::time_point m_phaseStart;
    QByteArray m_buffer;
    bool m_processing = false;
};

} // namespace brisora::gateway
