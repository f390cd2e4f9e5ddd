#include "WindowsTcpClient.h"

#include <QPointer>
#include <QThread>
#include <QUrl>
#include <QWinEventNotifier>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace brisora {

static_assert(WindowsTcpClient::kConnectionRefused == WSAECONNREFUSED);

std::atomic<int> WindowsTcpClient::lookupsInFlight_{0};

namespace {

// One wake-up reads at most this much, so a peer that sends without pause cannot hold the
// event loop; the socket reports the rest again.
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxReadsPerWake = 16;
constexpr long kSocketEvents = FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE;
// One send hands the socket at most this much; what it does not take waits for FD_WRITE.
constexpr qsizetype kMaxSend = 1 << 30;

/// Starts Winsock for the program the first time it is called; it stays up until the end.
void startWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    // A failed start shows later, as the socket call's own WSANOTINITIALISED.
    static_cast<void>(started);
}

QString systemText(int number)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(number), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text;
    if (buffer) {
        text = QString::fromWCharArray(buffer, int(length)).trimmed();
        ::LocalFree(buffer);
    }
    if (text.isEmpty())
        text = QStringLiteral("Windows Sockets error %1").arg(number);
    return text;
}

struct LookupResult
{
    int code = 0;
    std::vector<sockaddr_storage> addresses;
    std::vector<int> lengths;
};

/// Blocking; runs on the lookup thread.
LookupResult resolve(const QByteArray& name, quint16 port)
{
    LookupResult result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const QByteArray service = QByteArray::number(port);
    // Its result is a Winsock code itself (WSAHOST_NOT_FOUND, ...).
    result.code = ::getaddrinfo(name.constData(), service.constData(), &hints, &list);
    if (result.code != 0)
        return result;
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        sockaddr_storage address{};
        std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
        result.addresses.push_back(address);
        result.lengths.push_back(int(entry->ai_addrlen));
    }
    ::freeaddrinfo(list);
    return result;
}

SOCKET handleOf(quintptr socket)
{
    return static_cast<SOCKET>(socket);
}

/// For a stream that has ended: the reset that ended it, or 0 when the peer closed. Wine
/// ends a reset stream like a closed one, with all its bytes and no error from recv or in
/// FD_CLOSE; a send of nothing puts no byte on the wire but fails on a reset connection.
int resetAfterEnd(SOCKET s)
{
    if (::send(s, "", 0, 0) == 0)
        return 0;
    const int error = ::WSAGetLastError();
    return error == WSAEWOULDBLOCK ? 0 : error;
}

} // namespace

WindowsTcpClient::WindowsTcpClient(QObject* parent)
    : TcpClient(parent), socket_(INVALID_SOCKET), event_(nullptr)
{
    static_assert(sizeof(Address::bytes) >= sizeof(sockaddr_storage));
    startWinsock();
    event_ = ::WSACreateEvent();
    notifier_ = new QWinEventNotifier(event_, this);
    connect(notifier_, &QWinEventNotifier::activated, this, &WindowsTcpClient::socketEvent);
}

WindowsTcpClient::~WindowsTcpClient()
{
    // Stops the wait on the event object before the object goes.
    notifier_->setEnabled(false);
    dropSocket();
    ::WSACloseEvent(event_);
}

int WindowsTcpClient::lookupsInFlight()
{
    return lookupsInFlight_.load();
}

void WindowsTcpClient::Connect(const QString& host, quint16 port)
{
    Close();
    addresses_.clear();
    nextAddress_ = 0;
    lastError_ = 0;

    Address literal;
    sockaddr_storage address{};
    const QByteArray text = host.toLatin1();
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (::inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = ::htons(port);
        literal.length = sizeof(sockaddr_in);
    } else if (::inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = ::htons(port);
        literal.length = sizeof(sockaddr_in6);
    }
    if (literal.length != 0) {
        std::memcpy(literal.bytes.data(), &address, sizeof address);
        addresses_.push_back(literal);
        state_ = kStateConnecting;
        connectToNextAddress();
        return;
    }
    state_ = kStateLookingUp;
    // International names go out in their ASCII form; a name that has none is looked up as
    // given and simply fails.
    QByteArray name = QUrl::toAce(host);
    if (name.isEmpty())
        name = host.toUtf8();
    lookUp(name, port);
}

void WindowsTcpClient::lookUp(const QByteArray& name, quint16 port)
{
    auto result = std::make_shared<LookupResult>();
    QThread* worker = QThread::create([result, name, port] { *result = resolve(name, port); });
    worker->setObjectName(QStringLiteral("WindowsTcpClient lookup"));
    const quint64 generation = generation_;
    // Both run on this thread once the lookup has returned; this one first, so that by the
    // time the count drops the result has been taken or thrown away.
    connect(worker, &QThread::finished, this, [this, generation, result] {
        if (generation != generation_)
            return;
        std::vector<Address> found;
        for (std::size_t i = 0; i < result->addresses.size(); ++i) {
            Address address;
            std::memcpy(address.bytes.data(), &result->addresses[i], sizeof(sockaddr_storage));
            address.length = result->lengths[i];
            found.push_back(address);
        }
        lookedUp(result->code, std::move(found));
    });
    connect(worker, &QThread::finished, worker, [worker] {
        --lookupsInFlight_;
        worker->deleteLater();
    });
    ++lookupsInFlight_;
    worker->start();
}

void WindowsTcpClient::lookedUp(int code, std::vector<Address> found)
{
    if (code != 0) {
        fail(code, systemText(code));
        return;
    }
    addresses_ = std::move(found);
    nextAddress_ = 0;
    lastError_ = WSAEHOSTUNREACH; // if the name has no address at all
    state_ = kStateConnecting;
    connectToNextAddress();
}

void WindowsTcpClient::connectToNextAddress()
{
    while (nextAddress_ < addresses_.size()) {
        const Address& address = addresses_[nextAddress_++];
        sockaddr_storage target{};
        std::memcpy(&target, address.bytes.data(), sizeof target);
        const SOCKET s = ::WSASocketW(target.ss_family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                      WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (s == INVALID_SOCKET) {
            lastError_ = ::WSAGetLastError();
            continue;
        }
        // Watched (and so made non-blocking) before connecting, so that no outcome of the
        // connect can come before the watch.
        if (::WSAEventSelect(s, event_, kSocketEvents) != 0) {
            lastError_ = ::WSAGetLastError();
            ::closesocket(s);
            continue;
        }
        const int result = ::connect(s, reinterpret_cast<const sockaddr*>(&target), address.length);
        const int error = result == 0 ? 0 : ::WSAGetLastError();
        if (result == 0 || error == WSAEWOULDBLOCK) {
            socket_ = s;
            // Even a connection that stood at once is reported from the event loop.
            if (result == 0)
                ::WSASetEvent(event_);
            return;
        }
        lastError_ = error;
        ::closesocket(s);
    }
    fail(lastError_, systemText(lastError_));
}

void WindowsTcpClient::socketEvent()
{
    const SOCKET s = handleOf(socket_);
    if (s == INVALID_SOCKET) {
        // Left set by a socket that is gone.
        ::WSAResetEvent(event_);
        return;
    }
    WSANETWORKEVENTS events{};
    if (::WSAEnumNetworkEvents(s, event_, &events) != 0) {
        const int error = ::WSAGetLastError();
        fail(error, systemText(error));
        return;
    }
    if (events.lNetworkEvents & FD_CLOSE) {
        peerClosed_ = true;
        closeError_ = events.iErrorCode[FD_CLOSE_BIT];
    }
    if (state_ == kStateConnecting) {
        const int outcome =
            connectOutcome(events.lNetworkEvents, events.iErrorCode[FD_CONNECT_BIT]);
        if (outcome < 0)
            return;
        if (outcome > 0) {
            lastError_ = outcome;
            releaseSocket();
            connectToNextAddress();
            return;
        }
        if (!becomeConnected())
            return;
    }
    if (state_ != kStateConnected)
        return;
    if (events.lNetworkEvents & FD_WRITE)
        flushPending();
    if (state_ == kStateConnected && (events.lNetworkEvents & (FD_READ | FD_CLOSE)))
        readable();
}

int WindowsTcpClient::connectOutcome(long events, int connectError)
{
    if (events & FD_CONNECT)
        return connectError;
    // No word of the connect itself (one that stood at once, or a wake left over from an
    // earlier socket): the socket tells. Writable once connected, "exceptional" once failed.
    const SOCKET s = handleOf(socket_);
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval now{0, 0};
    if (::select(0, nullptr, &writable, &failed, &now) == SOCKET_ERROR)
        return ::WSAGetLastError();
    if (FD_ISSET(s, &failed)) {
        int error = 0;
        int length = sizeof error;
        ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        return error != 0 ? error : WSAENOTCONN;
    }
    return FD_ISSET(s, &writable) ? 0 : -1;
}

bool WindowsTcpClient::becomeConnected()
{
    state_ = kStateConnected;
    addresses_.clear();
    // Bytes handed in while connecting go out ahead of whatever the handler sends.
    flushPending();
    if (state_ != kStateConnected)
        return false;
    // The handler may close, reconnect or even delete this client.
    const QPointer<WindowsTcpClient> alive(this);
    const quint64 generation = generation_;
    emit Connected();
    return alive && generation == generation_ && state_ == kStateConnected;
}

void WindowsTcpClient::readable()
{
    const SOCKET s = handleOf(socket_);
    qint64 fresh = 0;
    bool ended = false;
    int error = 0;
    std::array<char, kReadChunk> chunk;
    for (int reads = 0; reads < kMaxReadsPerWake; ++reads) {
        const int n = ::recv(s, chunk.data(), int(chunk.size()), 0);
        if (n > 0) {
            received_.append(chunk.data(), n);
            fresh += n;
            continue;
        }
        if (n == 0) {
            ended = true;
        } else {
            const int code = ::WSAGetLastError();
            if (code == WSAEWOULDBLOCK)
                ended = peerClosed_; // the close came in behind the last bytes
            else
                error = code;
        }
        break;
    }
    if (ended && error == 0)
        error = closeError_ != 0 ? closeError_ : resetAfterEnd(s);

    // The handler may close, reconnect or even delete this client.
    const QPointer<WindowsTcpClient> alive(this);
    const quint64 generation = generation_;
    if (fresh > 0) {
        emit DataArrival(fresh);
        if (!alive || generation != generation_)
            return;
    }
    if (error != 0) {
        fail(error, systemText(error));
    } else if (ended) {
        // A peer that closes after answering has not failed: what came stays valid.
        dropSocket();
    }
}

void WindowsTcpClient::SendData(const QByteArray& bytes)
{
    if (state_ == kStateClosed || bytes.isEmpty())
        return;
    pending_.append(bytes);
    if (state_ == kStateConnected)
        flushPending();
}

void WindowsTcpClient::flushPending()
{
    const SOCKET s = handleOf(socket_);
    while (!pending_.isEmpty()) {
        const int size = int(std::min(pending_.size(), kMaxSend));
        const int n = ::send(s, pending_.constData(), size, 0);
        if (n >= 0) {
            pending_.remove(0, n);
            continue;
        }
        const int error = ::WSAGetLastError();
        if (error == WSAEWOULDBLOCK)
            return; // FD_WRITE follows once the socket has room again
        fail(error, systemText(error));
        return;
    }
}

QByteArray WindowsTcpClient::GetData()
{
    return std::exchange(received_, QByteArray());
}

void WindowsTcpClient::Close()
{
    ++generation_;
    dropSocket();
    received_.clear();
}

int WindowsTcpClient::State() const
{
    return state_;
}

void WindowsTcpClient::fail(int number, const QString& description)
{
    dropSocket();
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation, number, description] {
            if (generation == generation_)
                emit Error(number, description);
        },
        Qt::QueuedConnection);
}

void WindowsTcpClient::dropSocket()
{
    releaseSocket();
    pending_.clear();
    state_ = kStateClosed;
}

void WindowsTcpClient::releaseSocket()
{
    if (handleOf(socket_) != INVALID_SOCKET) {
        ::closesocket(handleOf(socket_));
        socket_ = INVALID_SOCKET;
    }
    peerClosed_ = false;
    closeError_ = 0;
}

} // namespace brisora
