// The real program, told to end by SIGTERM, SIGINT or SIGHUP while its window is shown,
// hidden in the tray, or behind an open options dialog, writes its settings file.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/LayoutClicks.h"
#include "integration/XvfbDisplay.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

enum class WindowState
{
    Shown,
    Hidden,
    OptionsOpen
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

std::string stateName(WindowState state)
{
    switch (state) {
    case WindowState::Shown:
        return "WhileShown";
    case WindowState::Hidden:
        return "WhileHidden";
    default:
        return "WithOptionsOpen";
    }
}

// Names the state in test listings (and so in ctest's test names).
[[maybe_unused]] void PrintTo(WindowState state, std::ostream* out)
{
    *out << stateName(state);
}

class SignalShutdownTest : public testing::TestWithParam<std::tuple<int, WindowState>>
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

} // namespace

TEST_P(SignalShutdownTest, TheSettingsFileIsWritten)
{
    const auto [signalNumber, state] = GetParam();
    std::unique_ptr<XvfbDisplay> display;
    std::vector<std::string> environment{
        "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString(),
        "XDG_RUNTIME_DIR=" + folder.path().toStdString()};
    if (state == WindowState::OptionsOpen) {
        // Only a pointer click opens the dialog, and only a real display takes one.
        if (!XvfbDisplay::available())
            GTEST_SKIP() << "Xvfb and xdotool are needed to open the options dialog";
        display = std::make_unique<XvfbDisplay>();
        ASSERT_TRUE(display->ready()) << "Xvfb did not start";
        environment.push_back("QT_QPA_PLATFORM=xcb");
        environment.push_back("DISPLAY=" + display->name());
    } else {
        environment.push_back("QT_QPA_PLATFORM=offscreen");
    }

    // Written the way a hand might: spaces around values and a units flag of 2, which the
    // program writes back cleaned up, so a rewrite shows in the bytes as well as the inode.
    const std::string tray = state == WindowState::Hidden ? "1" : "0";
    ASSERT_TRUE(writeBytes(settingsPath, "0\r\n" + tray +
                                             "\r\n 3 \r\n1500\r\n3000\r\n99999999\r\n2\r\n"
                                             "  Somewhere \r\n"));
    const ino_t before = inodeOf(settingsPath);

    ChildProcess app(program.toStdString(), {}, environment);
    ASSERT_TRUE(app.started());
    ASSERT_TRUE(pollUntil(
                    [&] {
                        return app.catches({SIGTERM, SIGINT, SIGHUP}) || !app.running();
                    },
                    20s) &&
                app.catches({SIGTERM, SIGINT, SIGHUP}))
        << "the program never got ready";
    if (display) {
        ASSERT_FALSE(openOptions(*display).empty()) << "the options dialog never opened";
    }

    app.signal(signalNumber);
    const std::optional<int> status = app.waitForExit(20s);
    ASSERT_TRUE(status) << "still running after " << signalName(signalNumber);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;

    EXPECT_NE(inodeOf(settingsPath), before) << "the file was not replaced";
    EXPECT_EQ(readBytes(settingsPath),
              "0\r\n" + tray + "\r\n3\r\n1500\r\n3000\r\n99999999\r\n0\r\nSomewhere\r\n");
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("config/brisora"))))
        << "the file beside the program was writable; nothing goes to the per-user folder";
}

INSTANTIATE_TEST_SUITE_P(EveryWindowState, SignalShutdownTest,
                         testing::Combine(testing::Values(SIGTERM, SIGINT, SIGHUP),
                                          testing::Values(WindowState::Shown, WindowState::Hidden,
                                                          WindowState::OptionsOpen)),
                         [](const testing::TestParamInfo<std::tuple<int, WindowState>>& param) {
                             return signalName(std::get<0>(param.param)) +
                                    stateName(std::get<1>(param.param));
                         });
