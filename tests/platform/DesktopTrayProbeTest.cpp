// The choice of tray kind, fed as the bus and X watchers feed it, with a short grace.
#include "posix/DesktopTrayProbe.h"
#include "TrayHostProbe.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisora;
using namespace std::chrono_literals;

namespace {

constexpr auto kGrace = 100ms;
constexpr int kPastGraceMs = 250;

/// What the probe reported, in order: "+" available, "-" not.
std::string reports(const QSignalSpy& spy)
{
    std::string text;
    for (const QList<QVariant>& report : spy)
        text += report.first().toBool() ? "+" : "-";
    return text;
}

} // namespace

TEST(DesktopTrayProbe, AHostSettlesAtOnceAndItsGoingMattersNotTheXTrays)
{
    DesktopTrayProbe probe(kGrace);
    QSignalSpy spy(&probe, &TrayHostProbe::availabilityChanged);
    probe.xEmbedTrayPresent(true);
    probe.statusNotifierHostPresent(true);
    EXPECT_TRUE(probe.available()) << "a host within the grace wins";
    QTest::qWait(kPastGraceMs);
    probe.xEmbedTrayPresent(false);
    EXPECT_EQ(reports(spy), "+");
    probe.statusNotifierHostPresent(false);
    probe.xEmbedTrayPresent(true);
    QTest::qWait(kPastGraceMs);
    EXPECT_FALSE(probe.available()) << "the kind stays settled";
    probe.statusNotifierHostPresent(true);
    EXPECT_EQ(reports(spy), "+-+");
}

TEST(DesktopTrayProbe, AnXTrayAloneWaitsOutTheGraceForAHost)
{
    DesktopTrayProbe probe(kGrace);
    QSignalSpy spy(&probe, &TrayHostProbe::availabilityChanged);
    probe.xEmbedTrayPresent(true);
    EXPECT_FALSE(probe.available());
    probe.xEmbedTrayPresent(false); // a panel that quit again before the grace ran out
    QTest::qWait(kPastGraceMs);
    EXPECT_EQ(reports(spy), "") << "nothing to settle on";

    probe.xEmbedTrayPresent(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.available(); }, kPastGraceMs));
    probe.statusNotifierHostPresent(true);
    probe.xEmbedTrayPresent(false);
    EXPECT_EQ(reports(spy), "+-") << "a host too late changes nothing";
}
