// The places of Windows as the shell names them (under Wine: the test prefix's own folders),
// and the settings file they give copies installed in them or kept elsewhere.
#include "win/WindowsProgramPlaces.h"
#include "qt/FileSettingsStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora;

namespace {

/// An environment variable's folder with forward slashes, as Qt names folders.
QString environmentFolder(const char* name)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(name)));
}

} // namespace

TEST(WindowsProgramPlaces, InstalledCopiesKeepTheirSettingsInTheRoamingApplicationData)
{
    const WindowsProgramPlaces places;
    const QString roaming = environmentFolder("APPDATA") + QStringLiteral("/Brisora/brisora.conf");
    ASSERT_FALSE(environmentFolder("APPDATA").isEmpty());
    EXPECT_EQ(places.perUserSettingsFile().toLower(), roaming.toLower());
    const QString local = environmentFolder("LOCALAPPDATA");
    EXPECT_EQ(places.runtimeFolder().toLower(), (local + QStringLiteral("/Brisora")).toLower());
    EXPECT_TRUE(QFileInfo(places.runtimeFolder()).isDir()) << "the lock's folder is made";

    const QStringList installFolders = places.installFolders();
    for (const QString& expected :
         {environmentFolder("ProgramFiles"), environmentFolder("ProgramFiles(x86)"),
          local + QStringLiteral("/Programs")})
        EXPECT_TRUE(installFolders.contains(expected, Qt::CaseInsensitive))
            << expected.toStdString() << " in " << installFolders.join(';').toStdString();

    // A copy in each, in a folder this account may write (under Wine it may write them all),
    // named in another case than the shell's.
    const QString name = QStringLiteral("Brisora test %1").arg(QCoreApplication::applicationPid());
    for (const QString& installFolder : installFolders) {
        const QString program = QDir(installFolder.toUpper()).filePath(name);
        ASSERT_TRUE(QDir().mkpath(program)) << program.toStdString();
        EXPECT_TRUE(places.acceptsNewFiles(program));
        EXPECT_EQ(FileSettingsStorage(program, places).settingsPath(), places.perUserSettingsFile())
            << program.toStdString();
        QDir(program).removeRecursively();
    }
}

TEST(WindowsProgramPlaces, AnotherFolderIsUsedWhenAFileCanBeCreatedThere)
{
    const WindowsProgramPlaces places;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_TRUE(places.acceptsNewFiles(folder.path()));
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList())
        << "the probe is gone";
    EXPECT_EQ(FileSettingsStorage(folder.path(), places).settingsPath(),
              QDir(folder.path()).filePath(QStringLiteral("brisora.conf")));

    const QString missing = folder.filePath(QStringLiteral("missing"));
    EXPECT_FALSE(places.acceptsNewFiles(missing));
    EXPECT_EQ(FileSettingsStorage::chooseFile(missing, places), places.perUserSettingsFile());
}
