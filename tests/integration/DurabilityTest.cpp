// The settings file survives the process that writes it being killed at any moment, and
// the real widget keeps on disk what "Okay" confirmed before it was killed.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/LayoutClicks.h"
#include "integration/SaverGeneration.h"
#include "integration/XvfbDisplay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

TEST(DurabilityTest, AKilledWidgetKeepsWhatOkayConfirmedAndCancelWritesNothing)
{
    if (!XvfbDisplay::available())
        GTEST_SKIP() << "Xvfb and xdotool are needed to press the dialog's buttons";
    namespace L = brisora::optionsLayout;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("brisora"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), program));
    const QString path = folder.filePath(QStringLiteral("brisora.conf"));
    // Shown, a place set (so "Okay" is enabled) whose id starts no fetch, Fahrenheit, hourly.
    const std::string before = "0\r\n0\r\n1\r\n4500\r\n3000\r\n99999999\r\n0\r\nSomewhere\r\n";
    ASSERT_TRUE(writeBytes(path, before));
    const ino_t inode = inodeOf(path);
    const QString logonEntry = folder.filePath(QStringLiteral("config/autostart/brisora.desktop"));

    XvfbDisplay display;
    ASSERT_TRUE(display.ready()) << "Xvfb did not start";
    ChildProcess app(
        program.toStdString(), {},
        display.environment(
            {"QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + folder.path().toStdString(),
             "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString()}));
    ASSERT_TRUE(pollUntil([&] { return app.catches({SIGTERM}) || !app.running(); }, 20s) &&
                app.catches({SIGTERM}))
        << "the program never got ready";

    // Both start boxes ticked, Celsius, and the list one down, to "Every 3 Hrs"; then the
    // dialog closed by `button`. True once it has gone.
    const auto changeAllAndClose = [&](L::TwipRect button) {
        const std::string dialog = openOptions(display);
        if (dialog.empty())
            return false;
        clickOptionsControl(display, dialog, L::Frame3, L::chkOnStart);
        clickOptionsControl(display, dialog, L::Frame3, L::chkOnTray);
        clickOptionsControl(display, dialog, L::Frame2, L::optC);
        clickOptionsControl(display, dialog, L::Frame3, L::cboRefresh, 5);
        clickOptionsControl(display, dialog, {}, button);
        return pollUntil(
            [&] { return display.xdotool("search --onlyvisible --name '^Options$'").empty(); },
            10s);
    };

    ASSERT_TRUE(changeAllAndClose(L::Command2)) << "Cancel did not close the dialog";
    EXPECT_EQ(inodeOf(path), inode) << "Cancel wrote the settings file";
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(QFileInfo::exists(logonEntry));

    ASSERT_TRUE(changeAllAndClose(L::cmdOK)) << "Okay did not close the dialog";
    app.signal(SIGKILL);
    ASSERT_TRUE(app.waitForExit(10s));
    // The units come back from the fetch that Okay restarted: a write before it would keep 0.
    EXPECT_EQ(readBytes(path), "1\r\n1\r\n3\r\n4500\r\n3000\r\n99999999\r\n1\r\nSomewhere\r\n");
    EXPECT_TRUE(QFileInfo::exists(logonEntry)) << "the start-at-logon entry and the file disagree";
}
