#pragma once

#include "TcpClient.h"

#include <sys/socket.h>

#include <atomic>
#include <vector>

class QSocketNotifier;

namespace brisora {

/// TcpClient on a non-blocking POSIX socket watched by socket notifiers, so the widget needs
/// nothing beyond Qt Core. A literal IPv4 or IPv6 address is connected to directly; any other
/// name is looked up on a short-lived thread of its own, never on the caller's.
///
/// Events come only from the event loop, never from inside a call. Error numbers are errno
/// values (ECONNREFUSED, ECONNRESET, ...) with their system text; a failed name lookup gives
/// the lookup's own code (negative) and text instead.
class PosixTcpClient final : public TcpClient
{
    Q_OBJECT
public:
    explicit PosixTcpClient(QObject* parent = nullptr);
    ~PosixTcpClient() override;

    /// Drops any connection or lookup under way first. Addresses from a lookup are tried in
    /// turn until one accepts; Error reports the last refusal.
    void Connect(const QString& host, quint16 port) override;
    /// Bytes given before the connection stands go out once it does; ignored while closed.
    /// What the socket cannot take at once goes out as it drains.
    void SendData(const QByteArray& bytes) override;
    QByteArray GetData() override;
    void Close() override;
    int State() const override;

    /// Name lookups whose thread has not yet handed back its result, across all clients.
    static int lookupsInFlight();

private:
    struct Address
    {
        sockaddr_storage bytes{};
        socklen_t length = 0;
    };

    void lookUp(const QByteArray& name, quint16 port);
    void lookedUp(int code, int systemError, std::vector<Address> found);
    /// Opens a socket to the next untried address; when none is left, fails with `lastError_`.
    void connectToNextAddress();
    void writable();
    void readable();
    /// Sends what the socket takes now; keeps the write notifier on while bytes remain.
    void flushPending();
    /// Ends the connection and reports `number` from the event loop.
    void fail(int number, const QString& description);
    /// Closes the socket and notifiers and forgets unsent bytes; leaves the generation alone.
    void dropSocket();
    /// Closes the socket and notifiers only, as between two addresses of one name.
    void releaseSocket();

    int fd_ = -1;
    int state_ = kStateClosed;
    QSocketNotifier* readNotifier_ = nullptr;  // child of this
    QSocketNotifier* writeNotifier_ = nullptr; // child of this
    QByteArray received_;
    QByteArray pending_;
    std::vector<Address> addresses_;
    std::size_t nextAddress_ = 0;
    int lastError_ = 0;
    // Bumped by every Connect and Close: a queued event or a lookup result carrying an older
    // value belongs to a connection the caller has already let go of.
    quint64 generation_ = 0;

    static std::atomic<int> lookupsInFlight_;
};

} // namespace brisora
