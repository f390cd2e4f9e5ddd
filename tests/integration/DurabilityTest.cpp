// The settings file survives the process that writes it being killed at any moment, and
// the program writes it when told to end by a signal, shown or hidden.
#include "integration/ChildProcess.h"
#include "integration/SaverGeneration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

std::string readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void writeAll(const QString& path, const std::string& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

ino_t inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

/// The names in `folder` other than the settings file itself.
QStringList strayFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral("brisora.conf"));
    return names;
}

} // namespace

TEST(DurabilityTest, AKilledSaveLeavesEitherTheWholeOldOrTheWholeNewFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("brisora.conf"));
    writeAll(path, saverGeneration(0));

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int generation = 0;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        const ino_t old = inodeOf(path);
        ChildProcess saver(BRISORA_SETTINGS_SAVER,
                           {folder.path().toStdString(), std::to_string(generation + 1)});
        ASSERT_TRUE(saver.started());
        // Once its first save is in, the saver is saving without pause: kill it somewhere in
        // the middle of one. The moment of the kill is what this test varies.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (inodeOf(path) == old && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100us); // poll cadence
        ASSERT_NE(inodeOf(path), old) << "the saver never saved";
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        saver.signal(SIGKILL);
        const std::optional<int> status = saver.waitForExit(10s);
        ASSERT_TRUE(status && WIFSIGNALED(*status))
            << "the saver stopped by itself (seed " << seed << ")";

        const std::string file = readAll(path);
        const int found = claimedGeneration(file);
        ASSERT_GT(found, generation) << "round " << round << ", seed " << seed;
        ASSERT_EQ(file, saverGeneration(found))
            << "a torn file after round " << round << " (seed " << seed << ")";
        generation = found;
    }
    // A kill in the middle of a save leaves its temporary file behind; the settings file
    // itself is never touched until the rename.
    RecordProperty("generations", generation);
    RecordProperty("stray_temporary_files", int(strayFiles(folder.path()).size()));
}

namespace {

/// The real program, copied with its settings file into a folder of its own.
class SignalShutdownTest : public testing::TestWithParam<std::tuple<int, bool>>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("brisora"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), program));
        settingsPath = folder.filePath(QStringLiteral("brisora.conf"));
    }

    QTemporaryDir folder;
    QString program;
    QString settingsPath;
};

std::string signalName(int number)
{
    switch (number) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    default:
        return "SIGHUP";
    }
}

} // namespace

TEST_P(SignalShutdownTest, TheSettingsFileIsWritten)
{
    const auto [signalNumber, hidden] = GetParam();
    // Written the way a hand might: spaces around values and a units flag of 2, which the
    // program writes back cleaned up, so a rewrite shows in the bytes as well as the inode.
    const std::string tray = hidden ? "1" : "0";
    writeAll(settingsPath,
             "0\r\n" + tray + "\r\n 3 \r\n1500\r\n3000\r\n99999999\r\n2\r\n  Somewhere \r\n");
    const ino_t before = inodeOf(settingsPath);

    ChildProcess app(
        program.toStdString(), {},
        {"QT_QPA_PLATFORM=offscreen",
         "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString()});
    ASSERT_TRUE(app.started());
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!app.catches({SIGTERM, SIGINT, SIGHUP}) && app.running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms); // poll cadence of the readiness check
    ASSERT_TRUE(app.catches({SIGTERM, SIGINT, SIGHUP})) << "the program never got ready";

    app.signal(signalNumber);
    const std::optional<int> status = app.waitForExit(20s);
    ASSERT_TRUE(status) << "still running after " << signalName(signalNumber);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;

    EXPECT_NE(inodeOf(settingsPath), before) << "the file was not replaced";
    EXPECT_EQ(readAll(settingsPath),
              "0\r\n" + tray + "\r\n3\r\n1500\r\n3000\r\n99999999\r\n0\r\nSomewhere\r\n");
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("config/brisora"))))
        << "the file beside the program was writable; nothing goes to the per-user folder";
}

INSTANTIATE_TEST_SUITE_P(ShownAndHidden, SignalShutdownTest,
                         testing::Combine(testing::Values(SIGTERM, SIGINT, SIGHUP),
                                          testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<int, bool>>& param) {
                             return signalName(std::get<0>(param.param)) +
                                    (std::get<1>(param.param) ? "WhileHidden" : "WhileShown");
                         });
