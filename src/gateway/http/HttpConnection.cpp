#include "HttpConnection.h"

#include "GatewayRequest.h"
#include "HttpRequestHead.h"
#include "HttpResponse.h"

#include <QPointer>
#include <QTcpSocket>

namespace brisora::gateway {
namespace {

// Pipelined requests waiting behind a slow one may take this much room, no more.
constexpr qsizetype maxQueuedBytes = 64 * 1024;

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, RequestHandler& handler, HttpServer& server,
                               const HttpServer::Limits& limits, QObject* parent)
    : QObject(parent), m_socket(socket), m_handler(handler), m_server(server),
      m_headTimeout(limits.headTimeout), m_idleTimeout(limits.idleTimeout),
      m_maxHeadBytes(limits.maxHeadBytes)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HttpConnection::closeNow);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    });
    enter(Phase::ReadingHead);
    if (m_socket->bytesAvailable() > 0)
        readIncoming();
}

void HttpConnection::closeNow()
{
    m_phase = Phase::Closing;
    m_deadline.stop();
    m_buffer.clear();
    m_socket->abort();
    deleteLater();
}

void HttpConnection::enter(Phase phase)
{
    m_phase = phase;
    m_phaseStart = std::chrono::steady_clock::now();
    switch (phase) {
    case Phase::ReadingHead:
        m_deadline.start(m_headTimeout);
        break;
    case Phase::Idle:
        m_deadline.start(m_idleTimeout);
        break;
    case Phase::Answering:
        m_deadline.stop(); // the service has its own time limits
        break;
    case Phase::Closing:
        m_deadline.start(m_headTimeout); // a client that never reads must not keep it open
        break;
    }
}

void HttpConnection::readIncoming()
{
    if (m_phase == Phase::Closing) {
        m_socket->readAll(); // nothing more is answered on this connection
        return;
    }
    // A kept-alive connection's next request begins now. Otherwise the deadline in force
    // stays, so a head trickled in byte by byte still has to be complete in time.
    if (m_phase == Phase::Idle)
        enter(Phase::ReadingHead);
    m_buffer += m_socket->readAll();
    if (m_phase == Phase::Answering) {
        if (m_buffer.size() > maxQueuedBytes)
            closeNow();
        return;
    }
    processBuffer();
}

void HttpConnection::processBuffer()
{
    m_processing = true;
    while (m_phase == Phase::ReadingHead && !m_buffer.isEmpty()) {
        const HeadParseResult parsed = parseRequestHead(
            std::string_view(m_buffer.constData(), static_cast<std::size_t>(m_buffer.size())),
            m_maxHeadBytes);
        if (parsed.state == HeadParseResult::State::NeedMore)
            break;
        if (parsed.state == HeadParseResult::State::Invalid) {
            answer(parsed.status, {}, false);
            break;
        }
        m_buffer.remove(0, static_cast<qsizetype>(parsed.headLength));
        const GatewayRequest request = routeRequest(parsed.head);
        // A body would be read as the next request, so such a request ends the connection.
        const bool keepAlive = parsed.head.keepAlive && !parsed.head.hasBody;
        enter(Phase::Answering);
        QPointer<HttpConnection> self(this);
        m_handler.handle(request, [self, keepAlive](GatewayReply reply) {
            if (!self || self->m_phase != Phase::Answering)
                return; // the client left, or was closed, before the source answered
            self->answer(reply.status, reply.body, keepAlive);
            if (!self->m_processing)
                self->processBuffer();
        });
        if (!self)
            return;
    }
    m_processing = false;
}

void HttpConnection::answer(int status, const QByteArray& body, bool keepAlive)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        const QByteArray date = m_server.currentHttpDate();
        m_socket->write(body.isEmpty()
                            ? shortHttpResponse(status, keepAlive, date)
                            : httpResponse(status, xmlContentType, body, keepAlive, date));
        // Straight to the kernel, without waiting for the next turn of the event loop.
        m_socket->flush();
    }
    if (!keepAlive) {
        closeAfterWriting();
        return;
    }
    // The next request's clock starts with this reply, or when it begins if none waits.
    enter(m_buffer.isEmpty() ? Phase::Idle : Phase::ReadingHead);
}

void HttpConnection::closeAfterWriting()
{
    enter(Phase::Closing);
    m_buffer.clear();
    m_socket->disconnectFromHost(); // sends what is queued, then closes
}

} // namespace brisora::gateway
