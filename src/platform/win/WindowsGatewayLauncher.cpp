#include "WindowsGatewayLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <utility>

namespace brisora {

namespace {

/// One argument of a Windows command line. The arguments here are paths and numbers, which
/// hold no quote and end in no backslash, so quoting them whole is enough.
QString quoted(const QString& argument)
{
    return QLatin1Char('"') + argument + QLatin1Char('"');
}

bool createProcess(const QString& program, QString commandLine, const QString& folder, DWORD flags)
{
    std::wstring line = commandLine.toStdWString();
    const std::wstring application = program.toStdWString();
    const std::wstring directory = folder.toStdWString();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          directory.c_str(), &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

} // namespace

WindowsGatewayLauncher::WindowsGatewayLauncher(QString programFolder, QString logFolder,
                                               int idleSeconds)
    : program_(QDir::toNativeSeparators(programFolder + QStringLiteral("/brisora-gateway.exe"))),
      logFile_(QDir::toNativeSeparators(logFolder + QStringLiteral("/brisora-gateway.log"))),
      idleSeconds_(idleSeconds)
{
}

bool WindowsGatewayLauncher::start()
{
    if (!QFileInfo(program_).isFile())
        return false;
    const QString commandLine =
        QStringList{quoted(program_), QStringLiteral("--exit-when-idle"),
                    QString::number(idleSeconds_), QStringLiteral("--log-file"), quoted(logFile_)}
            .join(QLatin1Char(' '));
    const QString folder = QFileInfo(program_).absolutePath();
    // A new process group, so that a console's Ctrl+C meant for the widget's starter never
    // reaches the gateway.
    const DWORD flags = CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP;
    // A job that lets no process out refuses the breakaway; the gateway then lives in it.
    return createProcess(program_, commandLine, folder, flags | CREATE_BREAKAWAY_FROM_JOB) ||
           createProcess(program_, commandLine, folder, flags);
}

} // namespace brisora
