// The real program after a night's sleep: its boot-time and wall clocks are moved eight
// hours ahead while its monotonic clock (on which its timers run) is not, and it fetches the
// weather again at its next minute tick. The program's feed port is compiled in, so the test
// runs in a network namespace of its own when it can get one, where nothing else can hold
// that port or answer in its place.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "support/Fixture.h"
#include "support/ScriptedPeer.h"

#include "feed/RequestTemplate.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

bool privateLoopback = false;

bool writeProcFile(const char* path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
    file.close();
    return bool(file);
}

/// Moves this process into a network namespace of its own and raises its loopback; false
/// when the system gives none. Only while the process has a single thread.
bool enterPrivateLoopback()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNET) != 0) {
        // Unprivileged: a user namespace too, in which the same user is root and may raise
        // the loopback.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq loopback{};
    std::strncpy(loopback.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = control >= 0 && ::ioctl(control, SIOCGIFFLAGS, &loopback) == 0;
    loopback.ifr_flags = short(loopback.ifr_flags | IFF_UP);
    up = up && ::ioctl(control, SIOCSIFFLAGS, &loopback) == 0;
    if (control >= 0)
        ::close(control);
    return up;
}

bool maps(pid_t pid, const std::string& library)
{
    std::ifstream mapped("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(mapped, line))
        if (line.find(library) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(SleepWakeTest, EightHoursAsleepAreFollowedByAFetchAtTheNextMinuteTick)
{
    const brisora::ServiceHost feed = brisora::parseServiceHost(BRISORA_FEED_HOST);
    if (feed.name != "127.0.0.1")
        GTEST_SKIP() << "the program was built for the feed host " << BRISORA_FEED_HOST;
    ScriptedPeer peer(PeerScript(PeerScript::Action::Reply,
                                 QByteArray::fromStdString(fixture("feed-metric.txt"))),
                      feed.port);
    if (peer.port() == 0)
        GTEST_SKIP() << "port " << feed.port << " is taken on the machine's loopback (private "
                     << "network namespace: " << (privateLoopback ? "yes" : "none") << ")";

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("brisora"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), program));
    // A place set and a refresh every 6 hours: without the sleep, nothing for hours.
    ASSERT_TRUE(writeBytes(folder.filePath(QStringLiteral("brisora.conf")),
                           "0\r\n0\r\n6\r\n1500\r\n3000\r\n2459115\r\n1\r\nSomewhere\r\n"));
    const QString shiftFile = folder.filePath(QStringLiteral("clock-shift"));
    ASSERT_TRUE(writeBytes(shiftFile, "0"));

    const char* inherited = std::getenv("ASAN_OPTIONS");
    const std::string sanitizerOptions =
        (inherited && *inherited ? std::string(inherited) + ":" : std::string()) +
        "verify_asan_link_order=0";
    ChildProcess app(program.toStdString(), {},
                     {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + folder.path().toStdString(),
                      "XDG_CONFIG_HOME=" + folder.filePath(QStringLiteral("config")).toStdString(),
                      "LD_PRELOAD=" BRISORA_CLOCK_SHIFT_PRELOAD,
                      "BRISORA_CLOCK_SHIFT_FILE=" + shiftFile.toStdString(),
                      // In a sanitized build the preloaded library comes before their runtime.
                      "ASAN_OPTIONS=" + sanitizerOptions});
    ASSERT_TRUE(app.started());
    ASSERT_TRUE(pollUntil([&] { return peer.requests().value(0).endsWith("\r\n\r\n"); }, 20s))
        << "the start-up fetch never came";
    const auto firstFetch = std::chrono::steady_clock::now();
    ASSERT_TRUE(maps(app.pid(), "clock_shift_preload")) << "the clock shift is not loaded";

    ASSERT_TRUE(writeBytes(shiftFile, std::to_string(8 * 60 * 60)));
    ASSERT_TRUE(pollUntil([&] { return peer.connections() >= 2; }, 80s))
        << "no fetch within 80 s of waking";
    const auto after = std::chrono::steady_clock::now() - firstFetch;
    // A retry of a fetch that never completed would come after 2.8 s; the minute tick
    // comes one minute after the start-up fetch.
    EXPECT_GT(after, 50s);
    EXPECT_LT(after, 70s);
    EXPECT_TRUE(pollUntil([&] { return peer.requests().value(1) == peer.requests().value(0); }, 5s))
        << "the same feed request again";
    EXPECT_EQ(peer.connections(), 2);
}

int main(int argc, char* argv[])
{
    privateLoopback = enterPrivateLoopback(); // before Qt starts any thread
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
