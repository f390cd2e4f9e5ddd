#include "WindowsHandoverChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QWinEventNotifier>

#include <windows.h>

#include <string>
#include <vector>

namespace brisora {

namespace {

// A later start waits this long for the one pipe to be free while an earlier knock is being
// taken; a running program takes it at once or not at all.
constexpr DWORD kBusyWaitMs = 500;

/// A security descriptor that lets in the user this program runs as, and nobody else.
class UserOnlyAccess
{
public:
    UserOnlyAccess()
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        user_.resize(size);
        const bool known =
            size != 0 && ::GetTokenInformation(token, TokenUser, user_.data(), size, &size);
        ::CloseHandle(token);
        if (!known)
            return;
        PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
        const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid);
        acl_.resize(aclSize);
        auto* acl = reinterpret_cast<ACL*>(acl_.data());
        ready_ = ::InitializeAcl(acl, aclSize, ACL_REVISION) &&
                 ::AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) &&
                 ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
                 ::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = &descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    UserOnlyAccess(const UserOnlyAccess&) = delete;
    UserOnlyAccess& operator=(const UserOnlyAccess&) = delete;

    /// Null when the user could not be told: then nothing is opened at all.
    SECURITY_ATTRIBUTES* attributes() { return ready_ ? &attributes_ : nullptr; }

private:
    std::vector<unsigned char> user_; // a TOKEN_USER, which the descriptor's SID points into
    std::vector<unsigned char> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool ready_ = false;
};

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

} // namespace

struct WindowsHandoverChannel::Pipe
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr; // set when the pending connect completes
    OVERLAPPED overlapped{};
    bool waiting = false; // a connect is pending on `overlapped`
};

WindowsHandoverChannel::WindowsHandoverChannel(QObject* parent) : HandoverChannel(parent) {}

WindowsHandoverChannel::~WindowsHandoverChannel()
{
    if (!pipe_)
        return;
    notifier_->setEnabled(false);
    if (pipe_->waiting) {
        // The system writes the cancelled connect's result into `overlapped`: wait for it.
        ::CancelIoEx(pipe_->handle, &pipe_->overlapped);
        DWORD unused = 0;
        ::GetOverlappedResult(pipe_->handle, &pipe_->overlapped, &unused, TRUE);
    }
    ::CloseHandle(pipe_->handle);
    ::CloseHandle(pipe_->event);
}

QString WindowsHandoverChannel::pipeNameFor(const QString& name)
{
    // Pipe names are machine-wide: the digest of the whole name keeps the users (whose
    // folders the name lies in) apart, and it stays short of the length limit.
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(name));
    const QByteArray digest =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("\\\\.\\pipe\\") + QFileInfo(path).fileName() + QLatin1Char('-') +
           QString::fromLatin1(digest.left(16));
}

bool WindowsHandoverChannel::listen(const QString& name)
{
    if (pipe_)
        return false;
    UserOnlyAccess access;
    if (!access.attributes())
        return false;
    // A pipe lasts only as long as the program that made it, so nothing is ever left to
    // replace. One instance, and only if it is the first: no other program can stand in.
    auto pipe = std::make_unique<Pipe>();
    pipe->handle = ::CreateNamedPipeW(
        wide(pipeNameFor(name)).c_str(),
        PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0,
        access.attributes());
    if (pipe->handle == INVALID_HANDLE_VALUE)
        return false;
    pipe->event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!pipe->event) {
        ::CloseHandle(pipe->handle);
        return false;
    }
    pipe_ = std::move(pipe);
    notifier_ = new QWinEventNotifier(pipe_->event, this);
    connect(notifier_, &QWinEventNotifier::activated, this, &WindowsHandoverChannel::pipeSignalled);
    return waitForKnock();
}

bool WindowsHandoverChannel::knock(const QString& name)
{
    const std::wstring pipe = wide(pipeNameFor(name));
    // Being let in is the whole message. The running program may tell who knocked, but not
    // act as it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HANDLE handle =
            ::CreateFileW(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
            return true;
        }
        if (::GetLastError() != ERROR_PIPE_BUSY || !::WaitNamedPipeW(pipe.c_str(), kBusyWaitMs))
            return false;
    }
    return false;
}

bool WindowsHandoverChannel::waitForKnock()
{
    Pipe& pipe = *pipe_;
    ::ResetEvent(pipe.event);
    pipe.overlapped = OVERLAPPED{};
    pipe.overlapped.hEvent = pipe.event;
    if (!::ConnectNamedPipe(pipe.handle, &pipe.overlapped)) {
        switch (::GetLastError()) {
        case ERROR_IO_PENDING:
            pipe.waiting = true;
            return true;
        case ERROR_PIPE_CONNECTED: // came in before the wait began
        case ERROR_NO_DATA:        // came in and has gone again
            break;
        default:
            notifier_->setEnabled(false);
            return false;
        }
    }
    // Taken from the event loop like any other knock.
    ::SetEvent(pipe.event);
    return true;
}

void WindowsHandoverChannel::pipeSignalled()
{
    Pipe& pipe = *pipe_;
    if (pipe.waiting) {
        // Cleared before asking, so that a connect completing in between still sets it.
        ::ResetEvent(pipe.event);
        DWORD unused = 0;
        if (!::GetOverlappedResult(pipe.handle, &pipe.overlapped, &unused, FALSE) &&
            ::GetLastError() == ERROR_IO_INCOMPLETE)
            return;
        pipe.waiting = false;
    }
    ::DisconnectNamedPipe(pipe.handle);
    waitForKnock();
    emit knocked();
}

} // namespace brisora
