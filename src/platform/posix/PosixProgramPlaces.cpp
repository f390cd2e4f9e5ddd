#include "PosixProgramPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brisora {

QStringList PosixProgramPlaces::installFolders() const
{
    return {QStringLiteral("/usr"), QStringLiteral("/opt")};
}

QString PosixProgramPlaces::perUserSettingsFile() const
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(".config");
    return QDir(base).filePath(QStringLiteral("brisora/brisora.conf"));
}

QString PosixProgramPlaces::runtimeFolder() const
{
    // Qt makes the folder when it is missing (a private one in /tmp when $XDG_RUNTIME_DIR is
    // unset).
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

bool PosixProgramPlaces::acceptsNewFiles(const QString& folder) const
{
    // Qt asks access(2), which counts access lists and read-only mounts too.
    return QFileInfo(folder).isWritable();
}

} // namespace brisora
