#include "qt/FileSettingsStorage.h"
#include "ProgramPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora;

namespace {

/// A system laid out as the test says, which notes each folder it is asked to create a file in.
class ScriptedPlaces final : public ProgramPlaces
{
public:
    ScriptedPlaces(QStringList installFolders, Qt::CaseSensitivity pathCase, QString perUser)
        : installFolders_(std::move(installFolders)), pathCase_(pathCase),
          perUser_(std::move(perUser))
    {
    }

    QStringList installFolders() const override { return installFolders_; }
    Qt::CaseSensitivity pathCase() const override { return pathCase_; }
    QString perUserSettingsFile() const override { return perUser_; }
    QString runtimeFolder() const override { return {}; }
    bool acceptsNewFiles(const QString& folder) const override
    {
        tried.append(folder);
        return writable;
    }

    bool writable = true;
    mutable QStringList tried;

private:
    QStringList installFolders_;
    Qt::CaseSensitivity pathCase_;
    QString perUser_;
};

} // namespace

TEST(FileSettingsStorage, InstalledOrReadOnlyProgramsUseThePerUserFile)
{
    const QString perUser = QStringLiteral("/home/u/.config/brisora/brisora.conf");
    ScriptedPlaces freedesktop({QStringLiteral("/usr"), QStringLiteral("/opt")}, Qt::CaseSensitive,
                               perUser);
    const auto chosen = [&](ScriptedPlaces& places, const char* dir, bool writable) {
        places.writable = writable;
        return FileSettingsStorage::chooseFile(QLatin1String(dir), places);
    };
    // Root may write a system folder; an installed copy still keeps per-user settings, and
    // never tries its folder.
    EXPECT_EQ(chosen(freedesktop, "/usr/bin", true), perUser);
    EXPECT_EQ(chosen(freedesktop, "/usr/local/bin/", true), perUser);
    EXPECT_EQ(chosen(freedesktop, "/opt/brisora", true), perUser);
    EXPECT_TRUE(freedesktop.tried.isEmpty()) << freedesktop.tried.join(' ').toStdString();
    EXPECT_EQ(chosen(freedesktop, "/home/u/brisora", false), perUser);
    EXPECT_EQ(chosen(freedesktop, "/home/u/brisora", true),
              QStringLiteral("/home/u/brisora/brisora.conf"));
    EXPECT_EQ(chosen(freedesktop, "/optional/brisora", true),
              QStringLiteral("/optional/brisora/brisora.conf"));
    EXPECT_EQ(chosen(freedesktop, "/USR/bin", true), QStringLiteral("/USR/bin/brisora.conf"));

    // Windows names a folder in any case.
    const QString roaming = QStringLiteral("C:/Users/u/AppData/Roaming/Brisora/brisora.conf");
    ScriptedPlaces windows({QStringLiteral("C:/Program Files"),
                            QStringLiteral("C:/Program Files (x86)"),
                            QStringLiteral("C:/Users/u/AppData/Local/Programs")},
                           Qt::CaseInsensitive, roaming);
    windows.tried.clear();
    EXPECT_EQ(chosen(windows, "C:/PROGRAM FILES/Brisora", true), roaming);
    EXPECT_EQ(chosen(windows, "c:/program files (x86)/Brisora/bin", true), roaming);
    EXPECT_EQ(chosen(windows, "C:/Users/u/AppData/Local/Programs/Brisora", true), roaming);
    EXPECT_TRUE(windows.tried.isEmpty()) << windows.tried.join(' ').toStdString();
    EXPECT_EQ(chosen(windows, "C:/Program Files Portable/Brisora", true),
              QStringLiteral("C:/Program Files Portable/Brisora/brisora.conf"));
    EXPECT_EQ(chosen(windows, "D:/Tools/Brisora", false), roaming);
    EXPECT_EQ(windows.tried, QStringList({QStringLiteral("C:/Program Files Portable/Brisora"),
                                          QStringLiteral("D:/Tools/Brisora")}));
}

TEST(FileSettingsStorage, PerUserFileIsSeededOnceAndThenReadBack)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(program));
    const QString beside = QDir(program).filePath(QStringLiteral("brisora.conf"));
    const QString perUser = folder.filePath(QStringLiteral("config/brisora/brisora.conf"));
    ScriptedPlaces places({}, Qt::CaseSensitive, perUser);

    FileSettingsStorage writable(program, places);
    EXPECT_EQ(writable.settingsPath(), beside);
    ASSERT_TRUE(writable.writeAtomically(beside, "shipped"));
    EXPECT_FALSE(QFileInfo::exists(perUser));

    places.writable = false;
    FileSettingsStorage first(program, places);
    EXPECT_EQ(first.settingsPath(), perUser);
    EXPECT_EQ(first.read(perUser), "shipped");
    ASSERT_TRUE(first.writeAtomically(perUser, "changed"));

    // The next start reads what the last one saved, not the old file beside the program.
    FileSettingsStorage second(program, places);
    EXPECT_EQ(second.read(second.settingsPath()), "changed");
    EXPECT_EQ(second.read(beside), "shipped");
}
