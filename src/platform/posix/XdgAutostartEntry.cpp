#include "XdgAutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace brisora {

XdgAutostartEntry::XdgAutostartEntry(QString autostartDirectory)
    : directory_(std::move(autostartDirectory))
{
}

QString XdgAutostartEntry::defaultAutostartDirectory()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = !configHome.isEmpty() && QDir::isAbsolutePath(configHome)
                             ? configHome
                             : QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart");
}

QString XdgAutostartEntry::entryPath() const
{
    return directory_ + QStringLiteral("/brisora.desktop");
}

QString XdgAutostartEntry::execValue(const QString& executablePath)
{
    // Two layers: inside the double quotes of the command line '"', '`', '$' and '\' take a
    // backslash and '%' (a field code) is doubled; then the key-file string rules escape every
    // backslash again and spell out line breaks and tabs.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    // The backslashes go first, so those that spell out the breaks are not doubled again.
    quoted.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\t', QStringLiteral("\\t"));
    return u'"' + quoted + u'"';
}

bool XdgAutostartEntry::SetEntry(const QString& executablePath)
{
    // An entry that runs nothing, or a path relative to whatever folder the session starts
    // in, would only fail at every logon.
    if (!QDir::isAbsolutePath(executablePath))
        return false;
    if (!QDir().mkpath(directory_))
        return false;
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Version=1.0\n"
                                        "Name=Brisora\n"
                                        "Comment=Current weather and a two-day forecast for "
                                        "one place\n"
                                        "Icon=org.brisora.Brisora\n"
                                        "Exec=") +
                         execValue(executablePath) +
                         QStringLiteral("\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n");
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void XdgAutostartEntry::DeleteEntry()
{
    QFile::remove(entryPath());
}

} // namespace brisora
