#include "FileSettingsStorage.h"

#include "ProgramPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brisora {

namespace {
constexpr auto kFileName = "brisora.conf";
constexpr qint64 kMaxSettingsBytes = 64 * 1024; // eight short lines; anything bigger is not ours
} // namespace

FileSettingsStorage::FileSettingsStorage(const QString& executableDir, const ProgramPlaces& places)
    : settingsPath_(chooseFile(executableDir, places))
{
    const QString besideExecutable = QDir(executableDir).filePath(kFileName);
    // A first start from a read-only folder keeps the settings that came with the program.
    if (settingsPath_ != besideExecutable && !QFileInfo::exists(settingsPath_))
        if (const std::optional<QByteArray> seed = read(besideExecutable))
            writeAtomically(settingsPath_, *seed);
}

QString FileSettingsStorage::chooseFile(const QString& executableDir, const ProgramPlaces& places)
{
    const QString dir = QDir::cleanPath(executableDir);
    const Qt::CaseSensitivity pathCase = places.pathCase();
    for (const QString& folder : places.installFolders()) {
        const QString prefix = QDir::cleanPath(folder);
        if (dir.compare(prefix, pathCase) == 0 ||
            dir.startsWith(prefix + QLatin1Char('/'), pathCase))
            return places.perUserSettingsFile();
    }
    return places.acceptsNewFiles(dir) ? QDir(dir).filePath(kFileName)
                                       : places.perUserSettingsFile();
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
