// The settings file survives the process that writes it being killed at any moment.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/SaverGeneration.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

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
    ASSERT_TRUE(writeBytes(path, saverGeneration(0)));

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int generation = 0;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        ChildProcess saver(BRISORA_SETTINGS_SAVER,
                           {folder.path().toStdString(), std::to_string(generation + 1)});
        ASSERT_TRUE(saver.started());
        // Once its first save is in, the saver is saving without pause: kill it somewhere in
        // the middle of one. The moment of the kill is what this test varies.
        // The generation in the file, not its inode, tells: a freed inode comes back at once
        // for the next temporary file.
        const auto saved = [&] { return claimedGeneration(readBytes(path)) > generation; };
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!saved() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100us); // poll cadence
        ASSERT_TRUE(saved()) << "the saver never saved";
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        saver.signal(SIGKILL);
        const std::optional<int> status = saver.waitForExit(10s);
        ASSERT_TRUE(status && WIFSIGNALED(*status))
            << "the saver stopped by itself (seed " << seed << ")";

        const std::string file = readBytes(path);
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
