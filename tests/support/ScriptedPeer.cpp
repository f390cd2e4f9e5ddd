#include "ScriptedPeer.h"

#include "support/AbortiveClose.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace brisora::test {

namespace {
constexpr QByteArrayView kEndOfRequest = "\r\n\r\n";
} // namespace

ScriptedPeer::ScriptedPeer(PeerScript script, quint16 port) : anchor_(std::make_unique<QObject>())
{
    script_ = std::move(script);
    thread_.setObjectName(QStringLiteral("ScriptedPeer"));
    anchor_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        anchor_.get(),
        [this, port] {
            server_ = new QTcpServer(anchor_.get());
            server_->listen(QHostAddress::LocalHost, port);
            port_ = server_->serverPort();
            QObject::connect(server_, &QTcpServer::newConnection, server_, [this] { accept(); });
        },
        Qt::BlockingQueuedConnection);
}

ScriptedPeer::~ScriptedPeer()
{
    QThread* home = QThread::currentThread();
    // The server and its sockets must go in the thread they live in; the anchor then comes
    // home so that it can be destroyed here once the thread has ended.
    QMetaObject::invokeMethod(
        anchor_.get(),
        [this, home] {
            delete server_;
            server_ = nullptr;
            anchor_->moveToThread(home);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

quint16 ScriptedPeer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void ScriptedPeer::setScript(PeerScript script)
{
    const QMutexLocker lock(&mutex_);
    script_ = std::move(script);
}

int ScriptedPeer::connections() const
{
    const QMutexLocker lock(&mutex_);
    return connections_;
}

int ScriptedPeer::connectionsEnded() const
{
    const QMutexLocker lock(&mutex_);
    return ended_;
}

QList<QByteArray> ScriptedPeer::requests() const
{
    const QMutexLocker lock(&mutex_);
    return requests_;
}

void ScriptedPeer::clearRequests()
{
    const QMutexLocker lock(&mutex_);
    firstKeptRequest_ += static_cast<int>(requests_.size());
    requests_.clear();
}

qint64 ScriptedPeer::bytesSent() const
{
    const QMutexLocker lock(&mutex_);
    return bytesSent_;
}

void ScriptedPeer::accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        int index = 0;
        PeerScript script;
        {
            const QMutexLocker lock(&mutex_);
            index = connections_++;
            requests_.append(QByteArray());
            script = script_;
        }
        auto received = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(!script.waitForRequest);
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, socket, index, script, received, answered] {
                             const QByteArray bytes = socket->readAll();
                             received->append(bytes);
                             {
                                 const QMutexLocker lock(&mutex_);
                                 const qsizetype slot = index - firstKeptRequest_;
                                 if (slot >= 0 && slot < requests_.size())
                                     requests_[slot].append(bytes);
                             }
                             if (!*answered && received->contains(kEndOfRequest)) {
                                 *answered = true;
                                 answer(socket, script);
                             }
                         });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            {
                const QMutexLocker lock(&mutex_);
                ++ended_;
            }
            socket->deleteLater();
        });
        if (!script.waitForRequest)
            answer(socket, script);
    }
}

void ScriptedPeer::sendSome(QTcpSocket* socket, const QByteArray& bytes)
{
    socket->write(bytes);
    socket->flush();
    const QMutexLocker lock(&mutex_);
    bytesSent_ += bytes.size();
}

void ScriptedPeer::answer(QTcpSocket* socket, const PeerScript& script)
{
    using Action = PeerScript::Action;
    switch (script.action) {
    case Action::Silent:
        return;
    case Action::Reply:
        sendSome(socket, script.reply);
        return;
    case Action::CloseAfter:
        sendSome(socket, script.reply.left(script.cutAfter));
        socket->disconnectFromHost(); // after what is queued has gone out
        return;
    case Action::ResetAfter: {
        sendSome(socket, script.reply.left(script.cutAfter));
        // Everything must be in the kernel before the reset, or it would be thrown away.
        while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(1000)) {
        }
        setAbortiveClose(socket->socketDescriptor());
        socket->abort();
        return;
    }
    case Action::Drip:
    case Action::Segments: {
        const bool drip = script.action == Action::Drip;
        const qsizetype step = drip ? std::max(1, script.dripBytes) : 1;
        auto* pacer = new QTimer(socket);
        pacer->setInterval(drip ? script.dripIntervalMs : 0);
        auto offset = std::make_shared<qsizetype>(0);
        QObject::connect(pacer, &QTimer::timeout, socket,
                         [this, socket, pacer, offset, step, reply = script.reply] {
                             if (*offset >= reply.size()) {
                                 pacer->stop();
                                 return;
                             }
                             sendSome(socket, reply.mid(*offset, step));
                             *offset += step;
                         });
        pacer->start();
        return;
    }
    }
}

} // namespace brisora::test
