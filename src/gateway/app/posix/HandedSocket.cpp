#include "HandedSocket.h"

#include <QByteArray>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brisora::gateway {
namespace {

constexpr int firstHandedDescriptor = 3;

HandedSocket unusable(const QString& why)
{
    return HandedSocket{HandedSocket::State::Unusable, -1, why};
}

bool isListeningStreamSocket(int descriptor)
{
    int type = 0;
    int listening = 0;
    socklen_t length = sizeof type;
    if (getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
        return false;
    length = sizeof listening;
    return getsockopt(descriptor, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 &&
           listening != 0;
}

} // namespace

HandedSocket takeHandedSocket()
{
    const QByteArray pidText = qgetenv("LISTEN_PID");
    const QByteArray countText = qgetenv("LISTEN_FDS");
    qunsetenv("LISTEN_PID");
    qunsetenv("LISTEN_FDS");
    qunsetenv("LISTEN_FDNAMES");
    if (pidText.isEmpty() || countText.isEmpty())
        return {};
    bool pidIsNumber = false;
    const qint64 pid = pidText.toLongLong(&pidIsNumber);
    if (!pidIsNumber || pid != static_cast<qint64>(getpid()))
        return {};
    bool countIsNumber = false;
    const int count = countText.toInt(&countIsNumber);
    if (!countIsNumber || count < 0)
        return unusable(QStringLiteral("LISTEN_FDS is not a count: ") +
                        QString::fromLatin1(countText));
    if (count == 0)
        return {};
    for (int descriptor = firstHandedDescriptor; descriptor < firstHandedDescriptor + count;
         ++descriptor) {
        const int flags = fcntl(descriptor, F_GETFD);
        if (flags < 0)
            return unusable(QStringLiteral("handed descriptor %1: %2")
                                .arg(descriptor)
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
        fcntl(descriptor, F_SETFD, flags | FD_CLOEXEC);
    }
    if (!isListeningStreamSocket(firstHandedDescriptor))
        return unusable(QStringLiteral("handed descriptor %1 is not a listening stream socket")
                            .arg(firstHandedDescriptor));
    return HandedSocket{HandedSocket::State::Ready, firstHandedDescriptor, {}};
}

} // namespace brisora::gateway
