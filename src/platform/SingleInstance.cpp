#include "SingleInstance.h"

#include "HandoverChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QThread>

namespace brisora {

namespace {

constexpr int kKnockAttempts = 40; // a running program that is still starting up
constexpr int kKnockPauseMs = 50;  // gets two seconds to start serving

/// "brisora-" and a digest of the settings file's absolute path: short enough for a socket
/// address, and the same for every start that would use that file.
QString baseName(const QString& settingsPath)
{
    const QByteArray path = QDir::cleanPath(QDir().absoluteFilePath(settingsPath)).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("brisora-") + QString::fromLatin1(digest.left(16));
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsPath, const QString& runtimeDir,
                               HandoverChannel& channel)
    : channel_(channel),
      channelName_(QDir(runtimeDir).filePath(baseName(settingsPath) + QStringLiteral(".socket"))),
      lock_(QDir(runtimeDir).filePath(baseName(settingsPath) + QStringLiteral(".lock")))
{
    // The lock is held for the program's whole life: never count it stale by its age, only
    // when the program that wrote it is gone.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::claim()
{
    if (!lock_.tryLock(0) && lock_.error() == QLockFile::LockFailedError)
        return false;
    // With no lock to be had at all (a missing or read-only runtime folder) the widget
    // still runs: better two widgets than none.
    channel_.listen(channelName_);
    return true;
}

bool SingleInstance::handOver()
{
    for (int attempt = 0; attempt < kKnockAttempts; ++attempt) {
        if (channel_.knock(channelName_))
            return true;
        QThread::msleep(kKnockPauseMs);
    }
    return false;
}

} // namespace brisora
