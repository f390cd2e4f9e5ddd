#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QThread>

#include <memory>

class QObject;
class QTcpServer;
class QTcpSocket;

namespace brisora::test {

/// How a ScriptedPeer answers each connection it accepts.
struct PeerScript
{
    enum class Action
    {
        Silent,     ///< accept, read, never answer
        Reply,      ///< send `reply` at once, keep the connection open
        Drip,       ///< send `dripBytes` of `reply` every `dripIntervalMs`, then keep it open
        CloseAfter, ///< send the first `cutAfter` bytes of `reply`, then close gracefully
        ResetAfter, ///< send the first `cutAfter` bytes of `reply`, then reset (RST)
        Segments,   ///< send `reply` one byte per write, each pushed out on its own
    };

    PeerScript() = default;
    explicit PeerScript(Action what, QByteArray bytes = {}) : action(what), reply(std::move(bytes))
    {
    }

    Action action = Action::Reply;
    QByteArray reply;
    qsizetype cutAfter = 0;
    int dripBytes = 1;
    int dripIntervalMs = 50;
    /// Answer only once the request's closing blank line has come in (a real server does);
    /// false answers as soon as the connection stands.
    bool waitForRequest = true;
};

/// A loopback TCP server on 127.0.0.1 that answers by script, for tests of the real socket.
/// It runs its own thread and event loop, so its timing does not depend on how the test
/// pumps the test thread's events, and the test can keep the code's own timers from firing.
/// All public calls are safe from the test thread.
class ScriptedPeer
{
public:
    /// Listens on `port`, or on an ephemeral one when it is 0.
    explicit ScriptedPeer(PeerScript script = PeerScript(), quint16 port = 0);
    explicit ScriptedPeer(PeerScript::Action action, QByteArray reply = {})
        : ScriptedPeer(PeerScript(action, std::move(reply)))
    {
    }
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    /// The port it listens on; 0 when it could not listen there.
    quint16 port() const { return port_; }
    /// A loopback port that nothing listens on: connecting to it is refused at once.
    static quint16 closedPort();

    /// Takes effect for connections accepted after this call.
    void setScript(PeerScript script);

    /// Connections accepted so far.
    int connections() const;
    /// Connections whose other end has gone (closed or reset by the client).
    int connectionsEnded() const;
    /// The bytes received on each connection, in order of acceptance.
    QList<QByteArray> requests() const;
    /// Forgets the received bytes kept so far (a long soak must not hoard them).
    void clearRequests();
    /// Bytes of replies handed to the kernel, over all connections.
    qint64 bytesSent() const;

private:
    void accept();
    void answer(QTcpSocket* socket, const PeerScript& script);
    void sendSome(QTcpSocket* socket, const QByteArray& bytes);

    QThread thread_;
    std::unique_ptr<QObject> anchor_; ///< lives in thread_; parent of the server and sockets
    QTcpServer* server_ = nullptr;
    quint16 port_ = 0;

    mutable QMutex mutex_;
    PeerScript script_;
    int connections_ = 0;
    int ended_ = 0;
    int firstKeptRequest_ = 0;
    QList<QByteArray> requests_;
    qint64 bytesSent_ = 0;
};

} // namespace brisora::test
