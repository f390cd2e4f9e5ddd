// The real program in a Wayland session as desktops run it: a headless weston compositor
// that also serves X through XWayland. Asked for no platform, the widget takes X and stands
// where it was; forced onto native Wayland, it leaves the stored place in the file.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"

#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <regex>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

constexpr auto kStoredPlace = "0\r\n0\r\n1\r\n4500\r\n3000\r\n\r\n0\r\n>none\r\n"; // 300, 200 px

bool westonAvailable()
{
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platforms/libqwayland-generic.so");
    return QFile::exists(plugin) &&
           std::system("command -v weston >/dev/null 2>&1 && command -v Xwayland >/dev/null "
                       "2>&1 && command -v xwininfo >/dev/null 2>&1") == 0;
}

class WaylandSessionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!westonAvailable())
            GTEST_SKIP() << "weston, Xwayland, xwininfo and Qt's Wayland plugin are needed";
        ASSERT_TRUE(folder.isValid());
        const std::string runtime = folder.path().toStdString();
        const std::string socket = "brisora-test-" + std::to_string(::getpid());
        const std::string log = runtime + "/weston.log";
        compositor = std::make_unique<ChildProcess>(
            "weston",
            std::vector<std::string>{"--backend=headless-backend.so", "--use-pixman", "--xwayland",
                                     "--socket=" + socket, "--log=" + log},
            std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime});
        // The compositor names the X display it serves in its log.
        const std::regex listening("xserver listening on display (:[0-9]+)");
        std::smatch match;
        std::string text;
        ASSERT_TRUE(pollUntil(
            [&] {
                return std::regex_search(text = readBytes(QString::fromStdString(log)), match,
                                         listening);
            },
            20s))
            << "weston did not start:\n"
            << text;
        xDisplay = match[1];

        program = folder.filePath(QStringLiteral("brisora")).toStdString();
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), QString::fromStdString(program)));
        settingsPath = folder.filePath(QStringLiteral("brisora.conf"));
        ASSERT_TRUE(writeBytes(settingsPath, kStoredPlace));
        // As a KDE Wayland session sets them; an empty QT_QPA_PLATFORM counts as unset.
        environment = {"XDG_RUNTIME_DIR=" + runtime,
                       "XDG_CONFIG_HOME=" + runtime + "/config",
                       "WAYLAND_DISPLAY=" + socket,
                       "DISPLAY=" + xDisplay,
                       "XDG_SESSION_TYPE=wayland",
                       "XDG_CURRENT_DESKTOP=KDE",
                       "QT_QPA_PLATFORM="};
    }

    /// The widget's X window as xwininfo describes it; empty when X has none.
    std::string xWindow() const
    {
        return commandOutput("DISPLAY=" + xDisplay + " xwininfo -name Brisora 2>/dev/null");
    }

    /// Ends the running widget as a session's end does; true when it ended with status 0.
    static bool endsCleanly(ChildProcess& app)
    {
        app.signal(SIGTERM);
        const std::optional<int> status = app.waitForExit(20s);
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    QTemporaryDir folder;
    std::unique_ptr<ChildProcess> compositor;
    std::string xDisplay;
    std::string program;
    QString settingsPath;
    std::vector<std::string> environment;
};

} // namespace

TEST_F(WaylandSessionTest, UnaskedTheWidgetRunsOnXAndKeepsItsPlace)
{
    ChildProcess app(program, {}, environment);
    const auto standsAtItsPlace = [&] {
        const std::string window = xWindow();
        const bool viewable = window.find("IsViewable") != std::string::npos;
        const bool placed = window.find("Absolute upper-left X:  300\n") != std::string::npos &&
                            window.find("Absolute upper-left Y:  200\n") != std::string::npos;
        // weston 10 places an X window at the first commit after it has paired the window with
        // its surface; a frame drawn before that pairing leaves it at its frame's origin until
        // the next one. Setting the same title again has weston draw the frame anew.
        if (viewable && !placed)
            commandOutput("DISPLAY=" + xDisplay +
                          " xprop -name Brisora -f WM_NAME 8s -set WM_NAME Brisora 2>/dev/null");
        return viewable && placed;
    };
    EXPECT_TRUE(pollUntil(standsAtItsPlace, 20s))
        << "no X window at 300, 200 (the widget runs on XWayland there):\n"
        << xWindow();
    EXPECT_TRUE(endsCleanly(app));
    EXPECT_EQ(readBytes(settingsPath), kStoredPlace);
}

TEST_F(WaylandSessionTest, OnNativeWaylandTheStoredPlacePassesThrough)
{
    environment.back() = "QT_QPA_PLATFORM=wayland";
    // Qt's Wayland plugin leaves libwayland-client's allocations behind at exit (not ours,
    // and in a library unloaded before the leak check can name it).
    environment.push_back("LSAN_OPTIONS=detect_leaks=0");
    ChildProcess app(program, {}, environment);
    ASSERT_TRUE(pollUntil([&] { return app.catches({SIGTERM}) || !app.running(); }, 20s) &&
                app.catches({SIGTERM}))
        << "the widget did not start on Wayland";
    EXPECT_EQ(xWindow(), "");
    EXPECT_TRUE(endsCleanly(app));
    EXPECT_EQ(readBytes(settingsPath), kStoredPlace);
}
