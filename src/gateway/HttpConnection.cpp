#include "HttpConnection.h"

#include "GatewayRequest.h"
#include "HttpRequestHead.h"
#include "HttpResponse.h"
#include "HttpServer.h"

#include <QPointer>
#include <QTcpSocket>

namespace brisora::gateway {
namespace {

// Pipelined requests waiting behind a slow one may take this much room, no more.
constexpr qsizetype maxQueuedBytes = 64 * 1024;

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, FeedService& service, HttpServer& server,
                               std::chrono::milliseconds idleTimeout, std::size_t maxHeadBytes,
                               QObject* parent)
    : QObject(parent), m_socket(socket), m_service(service), m_server(server),
      m_maxHeadBytes(maxHeadBytes)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleTimeout);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        // A request still waiting for the source keeps the connection.
        if (!m_awaitingReply)
            m_socket->abort();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    });
    m_idleTimer.start();
    if (m_socket->bytesAvailable() > 0)
        readIncoming();
}

void HttpConnection::readIncoming()
{
    if (m_closing) {
        m_socket->readAll(); // nothing more is answered on this connection
        return;
    }
    // The clock restarts only when a new request begins, so a head trickled in byte by byte
    // still has to be complete within the idle limit.
    if (m_buffer.isEmpty())
        m_idleTimer.start();
    m_buffer += m_socket->readAll();
    if (m_awaitingReply) {
        if (m_buffer.size() > maxQueuedBytes)
            m_socket->abort();
        return;
    }
    processBuffer();
}

void HttpConnection::processBuffer()
{
    m_processing = true;
    while (!m_awaitingReply && !m_closing && !m_buffer.isEmpty()) {
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
        m_awaitingReply = true;
        QPointer<HttpConnection> self(this);
        m_service.handle(request, [self, keepAlive](GatewayReply reply) {
            if (!self)
                return; // the client left before the source answered
            self->m_awaitingReply = false;
            self->m_idleTimer.start();
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
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray date = m_server.currentHttpDate();
    m_socket->write(body.isEmpty() ? shortHttpResponse(status, keepAlive, date)
                                   : httpResponse(status, xmlContentType, body, keepAlive, date));
    // Straight to the kernel, without waiting for the next turn of the event loop.
    m_socket->flush();
    if (!keepAlive)
        closeAfterWriting();
}

void HttpConnection::closeAfterWriting()
{
    m_closing = true;
    m_buffer.clear();
    m_socket->disconnectFromHost(); // sends what is queued, then closes
}

} // namespace brisora::gateway
