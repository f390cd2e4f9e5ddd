#include "WindowsProgramPlaces.h"

#include <QCoreApplication>
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

#include <string>
#include <utility>

namespace brisora {

namespace {

/// A known folder with forward slashes, whether it exists or not (%LOCALAPPDATA%\Programs, say,
/// exists only once something is installed there). When the shell cannot name it, the
/// environment variable `fallback` does; empty when neither can.
QString knownFolder(const KNOWNFOLDERID& id, const char* fallback)
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    if (folder.isEmpty() && fallback)
        folder = qEnvironmentVariable(fallback);
    return folder.isEmpty() ? folder : QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

/// A known folder of the user's, else where Windows puts it below the user's home.
QString userFolder(const KNOWNFOLDERID& id, const char* fallback, const char* belowHome)
{
    const QString folder = knownFolder(id, fallback);
    return folder.isEmpty() ? QDir::home().filePath(QLatin1String(belowHome)) : folder;
}

/// %LOCALAPPDATA%: the user's files that stay on this machine.
QString localApplicationData()
{
    return userFolder(FOLDERID_LocalAppData, "LOCALAPPDATA", "AppData/Local");
}

} // namespace

QStringList WindowsProgramPlaces::installFolders() const
{
    QStringList folders;
    for (const auto& [id, fallback] : {std::pair{&FOLDERID_ProgramFiles, "ProgramFiles"},
                                       std::pair{&FOLDERID_ProgramFilesX86, "ProgramFiles(x86)"}})
        if (const QString folder = knownFolder(*id, fallback); !folder.isEmpty())
            folders.append(folder);
    // Programs installed for one user; a shell that cannot name the folder (Wine's) would
    // still find them where Windows puts them.
    QString perUser = knownFolder(FOLDERID_UserProgramFiles, nullptr);
    if (perUser.isEmpty())
        perUser = localApplicationData() + QStringLiteral("/Programs");
    folders.append(perUser);
    return folders;
}

QString WindowsProgramPlaces::perUserSettingsFile() const
{
    return userFolder(FOLDERID_RoamingAppData, "APPDATA", "AppData/Roaming") +
           QStringLiteral("/Brisora/brisora.conf");
}

QString WindowsProgramPlaces::runtimeFolder() const
{
    const QString folder = localApplicationData() + QStringLiteral("/Brisora");
    QDir().mkpath(folder);
    return folder;
}

bool WindowsProgramPlaces::acceptsNewFiles(const QString& folder) const
{
    const QString probe = QDir(folder).filePath(
        QStringLiteral("brisora-%1.probe").arg(QCoreApplication::applicationPid()));
    const std::wstring path = QDir::toNativeSeparators(probe).toStdWString();
    // Gone again when the handle closes, even if the program is killed before it does.
    const HANDLE file = CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace brisora
