#include "FileSettingsStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brisora {

namespace {
constexpr auto kFileName = "brisora.conf";
constexpr qint64 kMaxSettingsBytes = 64 * 1024; // eight short lines; anything bigger is not ours
} // namespace

FileSettingsStorage::FileSettingsStorage(const QString& executableDir, bool executableDirWritable)
{
    const QString besideExecutable = QDir(executableDir).filePath(kFileName);
    settingsPath_ = chooseFile(executableDir, executableDirWritable, perUserFile());
    // A first start from a read-only folder keeps the settings that came with the program.
    if (settingsPath_ != besideExecutable && !QFileInfo::exists(settingsPath_))
        if (const std::optional<QByteArray> seed = read(besideExecutable))
            writeAtomically(settingsPath_, *seed);
}

QString FileSettingsStorage::chooseFile(const QString& executableDir, bool executableDirWritable,
                                        const QString& perUserFile)
{
    const QString dir = QDir::cleanPath(executableDir);
    for (const QLatin1String prefix : {QLatin1String("/usr"), QLatin1String("/opt")})
        if (dir == prefix || dir.startsWith(prefix + QLatin1Char('/')))
            return perUserFile;
    return executableDirWritable ? QDir(dir).filePath(kFileName) : perUserFile;
}

QString FileSettingsStorage::perUserFile()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(".config");
    return QDir(base).filePath(QStringLiteral("brisora/") + kFileName);
}

std::optional<QByteArray> FileSettingsStorage::read(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(kMaxSettingsBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool FileSettingsStorage::writeAtomically(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit(); // flushes, syncs and renames over the old file
}

} // namespace brisora
