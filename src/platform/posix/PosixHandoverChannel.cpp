#include "PosixHandoverChannel.h"

#include <QFile>
#include <QSocketNotifier>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace brisora {

namespace {

/// The socket address of `path`; false when the path is too long for one.
bool addressOf(const QByteArray& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

} // namespace

PosixHandoverChannel::~PosixHandoverChannel()
{
    delete notifier_;
    if (listener_ >= 0)
        ::close(listener_);
    if (!boundPath_.isEmpty())
        ::unlink(boundPath_.constData());
}

bool PosixHandoverChannel::listen(const QString& name)
{
    const QByteArray path = QFile::encodeName(name);
    sockaddr_un address;
    if (listener_ >= 0 || !addressOf(path, address))
        return false;
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0)
        return false;
    // Only the holder of the instance lock listens, so what stands here was left by a
    // program that was killed.
    ::unlink(path.constData());
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0) {
        ::close(listener_);
        listener_ = -1;
        return false;
    }
    boundPath_ = path;
    notifier_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PosixHandoverChannel::acceptAll);
    return true;
}

bool PosixHandoverChannel::knock(const QString& name)
{
    sockaddr_un address;
    if (!addressOf(QFile::encodeName(name), address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Being accepted into the listener's queue is the whole message.
    const bool reached =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return reached;
}

void PosixHandoverChannel::acceptAll()
{
    for (int peer; (peer = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(peer);
        emit knocked();
    }
}

} // namespace brisora
