#include "PosixTcpClient.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace brisora {

std::atomic<int> PosixTcpClient::lookupsInFlight_{0};

namespace {

// One wake-up reads at most this much, so a peer that sends without pause cannot hold the
// event loop; the notifier fires again for the rest.
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxReadsPerWake = 16;

QString systemText(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

struct LookupResult
{
    int code = 0;
    int systemError = 0;
    std::vector<sockaddr_storage> addresses;
    std::vector<socklen_t> lengths;
};

/// Blocking; runs on the lookup thread.
LookupResult resolve(const QByteArray& name, quint16 port)
{
    LookupResult result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    const QByteArray service = QByteArray::number(port);
    result.code = ::getaddrinfo(name.constData(), service.constData(), &hints, &list);
    if (result.code != 0) {
        result.systemError = result.code == EAI_SYSTEM ? errno : 0;
        return result;
    }
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        sockaddr_storage address{};
        std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
        result.addresses.push_back(address);
        result.lengths.push_back(entry->ai_addrlen);
    }
    ::freeaddrinfo(list);
    return result;
}

} // namespace

PosixTcpClient::PosixTcpClient(QObject* parent) : TcpClient(parent) {}

PosixTcpClient::~PosixTcpClient()
{
    dropSocket();
}

int PosixTcpClient::lookupsInFlight()
{
    return lookupsInFlight_.load();
}

void PosixTcpClient::Connect(const QString& host, quint16 port)
{
    Close();
    addresses_.clear();
    nextAddress_ = 0;
    lastError_ = 0;

    Address literal;
    const QByteArray text = host.toLatin1();
    auto* v4 = reinterpret_cast<sockaddr_in*>(&literal.bytes);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&literal.bytes);
    if (::inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        literal.length = sizeof(sockaddr_in);
    } else if (::inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        literal.length = sizeof(sockaddr_in6);
    }
    if (literal.length != 0) {
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

void PosixTcpClient::lookUp(const QByteArray& name, quint16 port)
{
    auto result = std::make_shared<LookupResult>();
    QThread* worker = QThread::create([result, name, port] { *result = resolve(name, port); });
    worker->setObjectName(QStringLiteral("PosixTcpClient lookup"));
    const quint64 generation = generation_;
    // Both run on this thread once the lookup has returned; this one first, so that by the
    // time the count drops the result has been taken or thrown away.
    connect(worker, &QThread::finished, this, [this, generation, result] {
        if (generation != generation_)
            return;
        std::vector<Address> found;
        for (std::size_t i = 0; i < result->addresses.size(); ++i)
            found.push_back(Address{result->addresses[i], result->lengths[i]});
        lookedUp(result->code, result->systemError, std::move(found));
    });
    connect(worker, &QThread::finished, worker, [worker] {
        --lookupsInFlight_;
        worker->deleteLater();
    });
    ++lookupsInFlight_;
    worker->start();
}

void PosixTcpClient::lookedUp(int code, int systemError, std::vector<Address> found)
{
    if (code != 0) {
        if (code == EAI_SYSTEM && systemError != 0)
            fail(systemError, systemText(systemError));
        else
            fail(code, QString::fromLocal8Bit(::gai_strerror(code)));
        return;
    }
    addresses_ = std::move(found);
    nextAddress_ = 0;
    lastError_ = EHOSTUNREACH; // if the name has no address at all
    state_ = kStateConnecting;
    connectToNextAddress();
}

void PosixTcpClient::connectToNextAddress()
{
    while (nextAddress_ < addresses_.size()) {
        const Address& address = addresses_[nextAddress_++];
        const int fd =
            ::socket(address.bytes.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastError_ = errno;
            continue;
        }
        const auto* target = reinterpret_cast<const sockaddr*>(&address.bytes);
        if (::connect(fd, target, address.length) == 0 || errno == EINPROGRESS || errno == EINTR) {
            // Even a connection that stood at once is reported from the event loop: the
            // socket is writable, so the notifier fires on the next pass.
            fd_ = fd;
            writeNotifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Write, this);
            QSocketNotifier* notifier = writeNotifier_;
            connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
                if (notifier == writeNotifier_)
                    writable();
            });
            return;
        }
        lastError_ = errno;
        ::close(fd);
    }
    fail(lastError_, systemText(lastError_));
}

void PosixTcpClient::writable()
{
    if (state_ != kStateConnecting) {
        flushPending();
        return;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error != 0) {
        lastError_ = error;
        releaseSocket();
        connectToNextAddress();
        return;
    }
    state_ = kStateConnected;
    addresses_.clear();
    readNotifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    QSocketNotifier* notifier = readNotifier_;
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
        if (notifier == readNotifier_)
            readable();
    });
    // Bytes handed in while connecting go out ahead of whatever the handler sends.
    flushPending();
    if (state_ == kStateConnected)
        emit Connected();
}

void PosixTcpClient::readable()
{
    qint64 fresh = 0;
    bool peerClosed = false;
    int error = 0;
    std::array<char, kReadChunk> chunk;
    for (int reads = 0; reads < kMaxReadsPerWake; ++reads) {
        const ssize_t n = ::recv(fd_, chunk.data(), chunk.size(), 0);
        if (n > 0) {
            received_.append(chunk.data(), n);
            fresh += n;
            continue;
        }
        if (n == 0)
            peerClosed = true;
        else if (errno == EINTR)
            continue;
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            error = errno;
        break;
    }
    // The handler may close, reconnect or even delete this client.
    const QPointer<PosixTcpClient> alive(this);
    const quint64 generation = generation_;
    if (fresh > 0) {
        emit DataArrival(fresh);
        if (!alive || generation != generation_)
            return;
    }
    if (error != 0) {
        fail(error, systemText(error));
    } else if (peerClosed) {
        // A peer that closes after answering has not failed: what came stays valid.
        dropSocket();
    }
}

void PosixTcpClient::SendData(const QByteArray& bytes)
{
    if (state_ == kStateClosed || bytes.isEmpty())
        return;
    pending_.append(bytes);
    if (state_ == kStateConnected)
        flushPending();
}

void PosixTcpClient::flushPending()
{
    while (!pending_.isEmpty()) {
        const ssize_t n =
            ::send(fd_, pending_.constData(), std::size_t(pending_.size()), MSG_NOSIGNAL);
        if (n >= 0) {
            pending_.remove(0, n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        const int error = errno;
        fail(error, systemText(error));
        return;
    }
    writeNotifier_->setEnabled(!pending_.isEmpty());
}

QByteArray PosixTcpClient::GetData()
{
    return std::exchange(received_, QByteArray());
}

void PosixTcpClient::Close()
{
    ++generation_;
    dropSocket();
    received_.clear();
}

int PosixTcpClient::State() const
{
    return state_;
}

void PosixTcpClient::fail(int number, const QString& description)
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

void PosixTcpClient::dropSocket()
{
    releaseSocket();
    pending_.clear();
    state_ = kStateClosed;
}

void PosixTcpClient::releaseSocket()
{
    // Notifiers go later, not now: this may run inside one of their own activations.
    for (QSocketNotifier** notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace brisora
