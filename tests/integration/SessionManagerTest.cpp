// The real program under a real X session manager (xsm): a saved session never starts it
// again, the session's end still writes its settings, and a start that restores a saved
// session ends at once, unseen, leaving the running widget alone.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/XvfbDisplay.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

/// xsm on a display, with a home of its own that holds its session files, its ICE
/// authority and the address it hands to the programs of its session.
class XsmSession
{
public:
    /// True when xsm and iceauth (with which xsm hands its cookies out) are installed.
    static bool available()
    {
        return std::system("command -v xsm >/dev/null 2>&1 && "
                           "command -v iceauth >/dev/null 2>&1") == 0;
    }

    XsmSession(const XvfbDisplay& display, const QString& home) : home_(home)
    {
        // A fresh session starts the lines of this file; the one line tells the test the
        // address that xsm gives the programs it starts.
        writeBytes(file(".xsmstartup"),
                   "sh -c 'echo \"$SESSION_MANAGER\" > " + file("address").toStdString() + "'\n");
        xsm_ = std::make_unique<ChildProcess>(
            "xsm", std::vector<std::string>{},
            display.environment({"HOME=" + home.toStdString(), iceAuthority()}));
    }
    ~XsmSession()
    {
        // Its end as a logout: a shutdown of the session, then xsm leaves.
        xsm_->signal(SIGTERM);
        xsm_->waitForExit(10s);
    }
    XsmSession(const XsmSession&) = delete;
    XsmSession& operator=(const XsmSession&) = delete;

    /// What a program needs to join this session.
    std::vector<std::string> clientEnvironment() const
    {
        std::string address;
        pollUntil(
            [&] {
                address = readBytes(file("address"));
                return !address.empty() && address.back() == '\n';
            },
            20s);
        if (!address.empty())
            address.pop_back();
        return {"SESSION_MANAGER=" + address, iceAuthority()};
    }

    /// Saves the session as xsm's SIGUSR1 does (its state only, no interaction); the
    /// saved file, or empty if xsm saves none within the time.
    std::string checkpoint() const
    {
        const QString saved = file(".XSM-Default");
        QFile::remove(saved);
        xsm_->signal(SIGUSR1);
        // xsm writes the file in one go once every program has answered.
        std::string bytes;
        pollUntil(
            [&] {
                bytes = readBytes(saved);
                return !bytes.empty() && bytes.back() == '\n';
            },
            20s);
        return bytes;
    }

    /// Ends the session as a logout does: xsm asks its programs to save and to end.
    void shutDown() const { xsm_->signal(SIGTERM); }

private:
    QString file(const char* name) const { return QDir(home_).filePath(QLatin1String(name)); }
    /// libICE looks in XDG_RUNTIME_DIR before HOME: both sides are told the file by name.
    std::string iceAuthority() const
    {
        return "ICEAUTHORITY=" + file("ICEauthority").toStdString();
    }

    QString home_;
    std::unique_ptr<ChildProcess> xsm_;
};

/// The client id under which the session manager knows the program `pid`, read from its
/// windows' client leader once it is there; empty if it never is.
std::string sessionClientId(const XvfbDisplay& display, pid_t pid)
{
    const std::string xprop = "DISPLAY=" + display.name() + " xprop -notype -id ";
    std::string id;
    pollUntil(
        [&] {
            const std::string windows = display.xdotool("search --pid " + std::to_string(pid));
            const std::string leader =
                commandOutput(xprop + windows.substr(0, windows.find('\n')) + " WM_CLIENT_LEADER");
            const std::size_t hash = leader.find("# ");
            if (hash == std::string::npos)
                return false;
            const std::string value =
                commandOutput(xprop + leader.substr(hash + 2) + " SM_CLIENT_ID");
            const std::size_t quote = value.find('"');
            if (quote == std::string::npos)
                return false;
            id = value.substr(quote + 1, value.rfind('"') - quote - 1);
            return !id.empty();
        },
        20s);
    return id;
}

class SessionManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!XvfbDisplay::desktopAvailable() || !XsmSession::available())
            GTEST_SKIP() << "Xvfb, xdotool, openbox, trayer, xsm and iceauth are needed";
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("home")));
        program = folder.filePath(QStringLiteral("brisora")).toStdString();
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), QString::fromStdString(program)));
        settingsPath = folder.filePath(QStringLiteral("brisora.conf"));
        // Hidden in the tray, so a hand-over would show.
        ASSERT_TRUE(writeBytes(settingsPath, kSettings));
        ASSERT_TRUE(display.ready()) << "Xvfb did not start";
        ASSERT_TRUE(display.startDesktop()) << "no notification area";
        session = std::make_unique<XsmSession>(display, folder.filePath(QStringLiteral("home")));
    }

    /// The program started with `arguments` as a program of the session.
    std::unique_ptr<ChildProcess> startInSession(const std::vector<std::string>& arguments) const
    {
        std::vector<std::string> environment = session->clientEnvironment();
        environment.insert(
            environment.end(),
            {"QT_QPA_PLATFORM=xcb", "HOME=" + folder.filePath(QStringLiteral("home")).toStdString(),
             "XDG_RUNTIME_DIR=" + folder.path().toStdString(),
             "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString()});
        return std::make_unique<ChildProcess>(program, arguments, display.environment(environment));
    }

    /// The widget, started as a program of the session, once it runs as the widget.
    std::unique_ptr<ChildProcess> startWidget() const
    {
        std::unique_ptr<ChildProcess> widget = startInSession({});
        EXPECT_TRUE(
            pollUntil([&] { return widget->catches({SIGTERM}) || !widget->running(); }, 20s) &&
            widget->catches({SIGTERM}))
            << "the program did not start as the widget";
        return widget;
    }

    static constexpr const char* kSettings =
        "0\r\n1\r\n1\r\n4500\r\n3000\r\n99999999\r\n0\r\nSomewhere\r\n";

    QTemporaryDir folder;
    XvfbDisplay display;
    std::string program;
    QString settingsPath;
    std::unique_ptr<XsmSession> session;
};

bool exitedWithSuccess(const std::optional<int>& status)
{
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

} // namespace

TEST_F(SessionManagerTest, TheSavedSessionLeavesTheWidgetOutAndItsEndWritesTheSettings)
{
    const std::unique_ptr<ChildProcess> widget = startWidget();
    const std::string id = sessionClientId(display, widget->pid());
    ASSERT_FALSE(id.empty()) << "the widget never joined the session";
    const std::string saved = session->checkpoint();
    ASSERT_FALSE(saved.empty()) << "xsm saved no session";
    // xsm leaves out a program that asks never to be restarted; with Qt's own hint, "if
    // running", it keeps it with its restart command, and the next logon starts it again.
    EXPECT_EQ(saved.find(id), std::string::npos) << saved;
    EXPECT_EQ(saved.find(program), std::string::npos) << saved;

    const ino_t before = inodeOf(settingsPath);
    session->shutDown();
    EXPECT_TRUE(exitedWithSuccess(widget->waitForExit(20s)));
    EXPECT_NE(inodeOf(settingsPath), before) << "the session's end did not write the settings";
    EXPECT_EQ(readBytes(settingsPath), kSettings);
}

TEST_F(SessionManagerTest, ARestoredStartEndsAtOnceLeavingTheWidgetAndTheSettingsAlone)
{
    std::unique_ptr<ChildProcess> widget = startWidget();
    ASSERT_FALSE(sessionClientId(display, widget->pid()).empty())
        << "the widget never joined the session";
    // What a desktop runs to restore the widget that a session saved at an earlier logon
    // holds: the program with the id and key it had then.
    const std::vector<std::string> restore{
        "-session", "2fdb848c1-476c-4532-a8b1-c85fa8704032_1796904737_631501"};
    const auto shownWithin = [&](std::chrono::milliseconds wait) {
        return pollUntil(
            [&] { return !display.xdotool("search --onlyvisible --name '^Brisora$'").empty(); },
            wait);
    };
    ASSERT_FALSE(shownWithin(0s)) << "the widget starts hidden in the tray";
    const ino_t inode = inodeOf(settingsPath);

    EXPECT_TRUE(exitedWithSuccess(startInSession(restore)->waitForExit(10s)));
    // A knock would bring the hidden widget on screen within moments.
    EXPECT_FALSE(shownWithin(3s)) << "the restored start knocked on the running widget";
    EXPECT_TRUE(widget->running());
    EXPECT_EQ(inodeOf(settingsPath), inode);

    // With no widget running, a restored start does not become one either.
    widget->signal(SIGTERM);
    ASSERT_TRUE(exitedWithSuccess(widget->waitForExit(20s)));
    const ino_t written = inodeOf(settingsPath);
    EXPECT_TRUE(exitedWithSuccess(startInSession(restore)->waitForExit(10s)));
    EXPECT_FALSE(shownWithin(1s));
    EXPECT_EQ(inodeOf(settingsPath), written);
    EXPECT_EQ(readBytes(settingsPath), kSettings);
}
