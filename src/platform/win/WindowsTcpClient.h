#pragma once
// Windows only.

#include "TcpClient.h"

#include <array>
#include <atomic>
#include <vector>

class QWinEventNotifier;

namespace brisora {

/// TcpClient on a non-blocking Winsock socket whose network events set an event object that
/// the event loop watches, so the widget needs nothing beyond Qt Core. A literal IPv4 or IPv6
/// address is connected to directly; any other name is looked up on a short-lived thread of
/// its own, never on the caller's.
///
/// Events come only from the event loop, never from inside a call. Error numbers are Windows
/// Sockets codes (WSAECONNREFUSED, WSAECONNRESET, WSAHOST_NOT_FOUND, ...) with the system's
/// text for them.
class WindowsTcpClient final : public TcpClient
{
    Q_OBJECT
public:
    /// The error number of a connection refused (WSAECONNREFUSED).
    static constexpr int kConnectionRefused = 10061;

    explicit WindowsTcpClient(QObject* parent = nullptr);
    ~WindowsTcpClient() override;

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
    /// A socket address, kept as bytes so that this header needs no Winsock headers.
    struct Address
    {
        alignas(8) std::array<unsigned char, 128> bytes{};
        int length = 0;
    };

    void lookUp(const QByteArray& name, quint16 port);
    void lookedUp(int code, std::vector<Address> found);
    /// Opens a socket to the next untried address; when none is left, fails with `lastError_`.
    void connectToNextAddress();
    /// What the event object says about the socket, taken and acted on.
    void socketEvent();
    /// 0 once the connection stands, a Winsock code once it has failed, -1 while undecided.
    int connectOutcome(long events, int connectError);
    /// Sends what came before, then reports Connected. False when the handler let go of it.
    bool becomeConnected();
    void readable();
    /// Sends what the socket takes now; the rest waits for the socket to report room.
    void flushPending();
    /// Ends the connection and reports `number` from the event loop.
    void fail(int number, const QString& description);
    /// Closes the socket and forgets unsent bytes; leaves the generation alone.
    void dropSocket();
    /// Closes the socket only, as between two addresses of one name.
    void releaseSocket();

    quintptr socket_;                       // a SOCKET; INVALID_SOCKET when none
    void* event_;                           // a WSAEVENT, for every socket of this client in turn
    QWinEventNotifier* notifier_ = nullptr; // child of this
    int state_ = kStateClosed;
    QByteArray received_;
    QByteArray pending_;
    std::vector<Address> addresses_;
    std::size_t nextAddress_ = 0;
    int lastError_ = 0;
    // The peer's close as the socket reported it, with its code (0 when graceful); bytes may
    // still be waiting to be read behind it.
    bool peerClosed_ = false;
    int closeError_ = 0;
    // Bumped by every Connect and Close: a queued event or a lookup result carrying an older
    // value belongs to a connection the caller has already let go of.
    quint64 generation_ = 0;

    static std::atomic<int> lookupsInFlight_;
};

} // namespace brisora
