#include "CacheFolder.h"

#include <QDir>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace brisora::gateway {

// Qt's own cache location on Windows would be %LOCALAPPDATA%\brisora-gateway\cache, away from
// the widget's folder.
QString defaultCacheFolder()
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    if (folder.isEmpty())
        folder = qEnvironmentVariable("LOCALAPPDATA");
    if (folder.isEmpty())
        folder = QDir::home().filePath(QStringLiteral("AppData/Local"));
    return QDir::cleanPath(QDir::fromNativeSeparators(folder)) + QStringLiteral("/Brisora/gateway");
}

} // namespace brisora::gateway
