// A second start of the real program, with the same settings file, hands over to the
// running one and ends; a lock left by a killed program does not block the next start.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/XvfbDisplay.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

class SecondStartTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("brisora")).toStdString();
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), QString::fromStdString(program)));
        // Starts hidden in the tray.
        ASSERT_TRUE(writeBytes(folder.filePath(QStringLiteral("brisora.conf")),
                               "0\r\n1\r\n1\r\n4500\r\n3000\r\n\r\n0\r\n>none\r\n"));
        environment = {"XDG_RUNTIME_DIR=" + folder.path().toStdString(),
                       "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString(),
                       "QT_QPA_PLATFORM=offscreen"};
    }

    /// Starts the program and waits until it runs as the widget (its signal handlers are
    /// installed only by a start that goes on to run).
    std::unique_ptr<ChildProcess> startWidget() const
    {
        auto app = std::make_unique<ChildProcess>(program, std::vector<std::string>{}, environment);
        EXPECT_TRUE(pollUntil([&] { return app->catches({SIGTERM}) || !app->running(); }, 20s) &&
                    app->catches({SIGTERM}))
            << "the program did not start as the widget";
        return app;
    }

    /// Starts the program again; true when it ended with status 0 within `limit`.
    bool laterStartEnds(std::chrono::milliseconds limit) const
    {
        ChildProcess later(program, {}, environment);
        const std::optional<int> status = later.waitForExit(limit);
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    QTemporaryDir folder;
    std::string program;
    std::vector<std::string> environment;
};

} // namespace

TEST_F(SecondStartTest, BringsTheWidgetHiddenInTheTrayOnScreenAndEnds)
{
    if (!XvfbDisplay::desktopAvailable())
        GTEST_SKIP() << "Xvfb, xdotool, openbox and trayer are needed";
    XvfbDisplay display;
    ASSERT_TRUE(display.ready()) << "Xvfb did not start";
    ASSERT_TRUE(display.startDesktop()) << "no notification area";
    environment.back() = "QT_QPA_PLATFORM=xcb";
    environment.push_back("DISPLAY=" + display.name());
    const auto visibleWindow = [&] {
        return display.xdotool("search --onlyvisible --name '^Brisora$'");
    };

    const std::unique_ptr<ChildProcess> first = startWidget();
    EXPECT_EQ(visibleWindow(), "") << "it starts hidden in the tray";
    EXPECT_TRUE(laterStartEnds(10s));
    EXPECT_TRUE(pollUntil([&] { return !visibleWindow().empty(); }, 10s))
        << "the running widget's window did not appear";
    EXPECT_TRUE(first->running());

    first->signal(SIGTERM);
    const std::optional<int> status = first->waitForExit(20s);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST_F(SecondStartTest, ALockLeftByAKilledWidgetDoesNotBlockTheNextStart)
{
    std::unique_ptr<ChildProcess> killed = startWidget();
    killed->signal(SIGKILL);
    ASSERT_TRUE(killed->waitForExit(10s));

    const std::unique_ptr<ChildProcess> next = startWidget();
    ASSERT_TRUE(next->running());
    EXPECT_TRUE(laterStartEnds(10s)) << "the next widget serves the hand-over too";
    next->signal(SIGTERM);
    EXPECT_TRUE(next->waitForExit(20s));
}
