#include "posix/XdgAutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora;

namespace {

/// Reads an Exec value back the way a desktop reads it: first the key-file string escapes,
/// then the quoting of the command line. Returns the single argument, or "<bad>" when the
/// value is not one properly quoted argument.
QString execArgument(const QString& value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            unescaped += value[i];
            continue;
        }
        if (++i == value.size())
            return QStringLiteral("<bad>");
        switch (value[i].unicode()) {
        case u's':
            unescaped += u' ';
            break;
        case u'n':
            unescaped += u'\n';
            break;
        case u't':
            unescaped += u'\t';
            break;
        case u'r':
            unescaped += u'\r';
            break;
        case u'\\':
            unescaped += u'\\';
            break;
        default:
            return QStringLiteral("<bad>");
        }
    }
    if (unescaped.size() < 2 || !unescaped.startsWith(u'"') || !unescaped.endsWith(u'"'))
        return QStringLiteral("<bad>");
    QString argument;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (c == u'\\') {
            const QChar next = unescaped[++i];
            if (i + 1 >= unescaped.size() ||
                !(next == u'"' || next == u'`' || next == u'$' || next == u'\\'))
                return QStringLiteral("<bad>");
            argument += next;
        } else if (c == u'"' || c == u'`' || c == u'$') {
            return QStringLiteral("<bad>"); // must have been escaped
        } else if (c == u'%') {
            if (unescaped[++i] != u'%')
                return QStringLiteral("<bad>"); // a field code
            argument += u'%';
        } else {
            argument += c;
        }
    }
    return argument;
}

QString entryLine(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1));
    return QString();
}

} // namespace

TEST(XdgAutostartEntry, ExecValueRunsExactlyThePathGiven)
{
    EXPECT_EQ(XdgAutostartEntry::execValue("/usr/bin/brisora"), "\"/usr/bin/brisora\"");
    EXPECT_EQ(XdgAutostartEntry::execValue("/a b/$x"), "\"/a b/\\\\$x\"");
    EXPECT_EQ(XdgAutostartEntry::execValue("/a\\b"), "\"/a\\\\\\\\b\"");
    for (const QString& path :
         {QStringLiteral("/home/u/My Apps/brisora"), QStringLiteral("/o\"q/'s'/`c`/$HOME/b"),
          QStringLiteral("/x\\y/100%/%f %U/a;b|c&d"), QStringLiteral("/line\nbreak\ttab\r/x"),
          QStringLiteral("/S\u00e3o/\u6771\u4eac/brisora"), QStringLiteral("/#(*)?<>~")})
        EXPECT_EQ(execArgument(XdgAutostartEntry::execValue(path)), path) << path.toStdString();
}

TEST(XdgAutostartEntry, WrittenRewrittenAndRemovedInAHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.path() + "/.config/autostart";
    XdgAutostartEntry entry(folder);
    const QString file = folder + "/brisora.desktop";
    EXPECT_EQ(entry.entryPath(), file);

    ASSERT_TRUE(entry.SetEntry("/opt/brisora/brisora"));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    written.close();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(entryLine(file, "Type"), "Application");
    EXPECT_EQ(entryLine(file, "Name"), "Brisora");
    EXPECT_EQ(entryLine(file, "Exec"), "\"/opt/brisora/brisora\"");

    ASSERT_TRUE(entry.SetEntry("/home/u/My Apps/brisora"));
    EXPECT_EQ(execArgument(entryLine(file, "Exec")), "/home/u/My Apps/brisora");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"brisora.desktop"});

    entry.DeleteEntry();
    EXPECT_FALSE(QFile::exists(file));
    entry.DeleteEntry(); // nothing there: harmless
    EXPECT_FALSE(QFile::exists(file));
}

TEST(XdgAutostartEntry, AgreesWithTheInstalledDesktopEntry)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    XdgAutostartEntry entry(home.path());
    ASSERT_TRUE(entry.SetEntry("/usr/bin/brisora"));
    const QString installed = QStringLiteral(BRISORA_DIST_DIR "/org.brisora.Brisora.desktop");
    ASSERT_TRUE(QFile::exists(installed));
    for (const char* key : {"Type", "Name", "Comment", "Icon"})
        EXPECT_EQ(entryLine(entry.entryPath(), key), entryLine(installed, key)) << key;
    EXPECT_EQ(execArgument(entryLine(entry.entryPath(), "Exec")), entryLine(installed, "Exec"));
}

TEST(XdgAutostartEntry, FailedWriteKeepsTheEarlierEntry)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // A file where the folder should be: nothing can be written.
    QFile blocker(home.path() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(XdgAutostartEntry(blocker.fileName()).SetEntry("/opt/brisora/brisora"));

    // No path, or one relative to wherever the session starts, would run nothing.
    XdgAutostartEntry elsewhere(home.path() + "/other");
    EXPECT_FALSE(elsewhere.SetEntry(""));
    EXPECT_FALSE(elsewhere.SetEntry("brisora"));
    EXPECT_FALSE(QFile::exists(elsewhere.entryPath()));

    // A folder that cannot be written into keeps the entry it has.
    const QString folder = home.path() + "/config/autostart";
    XdgAutostartEntry entry(folder);
    ASSERT_TRUE(entry.SetEntry("/old/brisora"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(folder).isWritable())
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_FALSE(entry.SetEntry("/new/brisora"));
    EXPECT_EQ(entryLine(entry.entryPath(), "Exec"), "\"/old/brisora\"");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(XdgAutostartEntry, FolderFollowsTheConfigHome)
{
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("HOME", home.path().toLocal8Bit());

    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(XdgAutostartEntry::defaultAutostartDirectory(), "/tmp/cfg/autostart");
    for (const char* ignored : {"", "relative/cfg"}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(XdgAutostartEntry::defaultAutostartDirectory(),
                  home.path() + "/.config/autostart")
            << ignored;
    }
    qunsetenv("XDG_CONFIG_HOME");
    XdgAutostartEntry entry;
    ASSERT_TRUE(entry.SetEntry("/opt/brisora/brisora"));
    EXPECT_TRUE(QFile::exists(home.path() + "/.config/autostart/brisora.desktop"));

    qputenv("HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}
