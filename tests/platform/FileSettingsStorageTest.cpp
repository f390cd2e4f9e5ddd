#include "qt/FileSettingsStorage.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora;

TEST(FileSettingsStorage, InstalledOrReadOnlyProgramsUseThePerUserFile)
{
    const QString perUser = QStringLiteral("/home/u/.config/brisora/brisora.conf");
    const auto chosen = [&](const char* dir, bool writable) {
        return FileSettingsStorage::chooseFile(QLatin1String(dir), writable, perUser);
    };
    // Root may write a system folder; an installed copy still keeps per-user settings.
    EXPECT_EQ(chosen("/usr/bin", true), perUser);
    EXPECT_EQ(chosen("/usr/local/bin/", true), perUser);
    EXPECT_EQ(chosen("/opt/brisora", true), perUser);
    EXPECT_EQ(chosen("/home/u/brisora", false), perUser);
    EXPECT_EQ(chosen("/home/u/brisora", true), QStringLiteral("/home/u/brisora/brisora.conf"));
    EXPECT_EQ(chosen("/optional/brisora", true), QStringLiteral("/optional/brisora/brisora.conf"));
}

TEST(FileSettingsStorage, PerUserFileIsSeededOnceAndThenReadBack)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    const QString program = folder.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(program));
    const QString beside = QDir(program).filePath(QStringLiteral("brisora.conf"));

    FileSettingsStorage writable(program, true);
    EXPECT_EQ(writable.settingsPath(), beside);
    ASSERT_TRUE(writable.writeAtomically(beside, "shipped"));
    EXPECT_FALSE(QFileInfo::exists(FileSettingsStorage::perUserFile()));

    FileSettingsStorage first(program, false);
    const QString perUser = first.settingsPath();
    EXPECT_EQ(perUser, folder.filePath(QStringLiteral("config/brisora/brisora.conf")));
    EXPECT_EQ(first.read(perUser), "shipped");
    ASSERT_TRUE(first.writeAtomically(perUser, "changed"));

    // The next start reads what the last one saved, not the old file beside the program.
    FileSettingsStorage second(program, false);
    EXPECT_EQ(second.read(second.settingsPath()), "changed");
    EXPECT_EQ(second.read(beside), "shipped");
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}
