#include "FakeUpstream.h"

#include <QTcpSocket>

namespace brisora::gateway::test {

FakeUpstream::FakeUpstream()
{
    m_running.setSingleShot(true);
    connect(&m_running, &QTimer::timeout, this, &FakeUpstream::finishRunning);
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl FakeUpstream::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void FakeUpstream::limitConcurrency(int held, std::chrono::milliseconds serviceTime)
{
    m_maxHeld = held;
    m_serviceTime = serviceTime;
}

void FakeUpstream::setReply(const QByteArray& path, Reply reply)
{
    m_replies.insert(path, std::move(reply));
}

void FakeUpstream::serve(QTcpSocket* socket)
{
    // The head may come in pieces; the socket keeps what has come so far.
    const QByteArray received = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("buffer", received);
        return;
    }
    const QByteArray head = received.left(end);
    socket->setProperty("buffer", QByteArray());
    m_heads.append(head);
    const QByteArray target = head.left(head.indexOf("\r\n")).split(' ').value(1);
    const QByteArray path =
        target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    ++m_counts[path];
    const Reply reply = m_replies.value(path, Reply{404, "{}", {}, false});
    if (m_maxHeld == 0) {
        answer(socket, reply);
        return;
    }
    if (m_held.size() >= m_maxHeld) {
        ++m_refusals;
        answer(socket, Reply{429, R"({"reason":"Too many concurrent requests","error":true})"});
        return;
    }
    m_held.append({socket, reply});
    m_mostHeld = std::max(m_mostHeld, static_cast<int>(m_held.size()));
    if (m_held.size() == 1)
        m_running.start(m_serviceTime);
}

void FakeUpstream::finishRunning()
{
    if (m_held.isEmpty())
        return;
    const auto [socket, reply] = m_held.takeFirst();
    if (socket)
        answer(socket, reply);
    if (!m_held.isEmpty())
        m_running.start(m_serviceTime);
}

void FakeUpstream::answer(QTcpSocket* socket, const Reply& reply)
{
    if (reply.hang)
        return;
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + " Canned\r\n";
    response += "Content-Type: application/json\r\nContent-Length: " +
                QByteArray::number(reply.body.size()) + "\r\n" + reply.extraHeaders +
                "Connection: close\r\n\r\n" + reply.body;
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace brisora::gateway::test
