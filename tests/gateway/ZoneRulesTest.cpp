#include "GatewayTestData.h"
#include "ZoneDatabase.h"
#include "ZoneFolder.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::systemZones;
using brisora::gateway::test::utcSeconds;

namespace {

struct Fact
{
    const char* zone;
    std::int64_t moment;
    std::int32_t utcOffset;
    bool isDaylight;
    const char* abbreviation;
};

void expectFacts(const ZoneDatabase& zones, std::initializer_list<Fact> facts)
{
    for (const Fact& fact : facts) {
        const std::shared_ptr<const ZoneRules> zone = zones.find(fact.zone);
        ASSERT_TRUE(zone) << fact.zone;
        EXPECT_EQ(zone->at(fact.moment),
                  (LocalTimeType{fact.utcOffset, fact.isDaylight, fact.abbreviation}))
            << fact.zone << " at " << fact.moment;
    }
}

} // namespace

TEST(ZoneRules, SystemZonesAgreeWithKnownDates)
{
    expectFacts(
        systemZones(),
        {
            // The 2026 switches, to the second.
            {"America/Chicago", utcSeconds(2026, 3, 8, 7, 59, 59), -6 * 3600, false, "CST"},
            {"America/Chicago", utcSeconds(2026, 3, 8, 8), -5 * 3600, true, "CDT"},
            {"America/Chicago", utcSeconds(2026, 11, 1, 6, 59, 59), -5 * 3600, true, "CDT"},
            {"America/Chicago", utcSeconds(2026, 11, 1, 7), -6 * 3600, false, "CST"},
            {"Europe/London", utcSeconds(2026, 3, 29, 0, 59, 59), 0, false, "GMT"},
            {"Europe/London", utcSeconds(2026, 3, 29, 1), 3600, true, "BST"},
            {"Europe/Helsinki", utcSeconds(2026, 7, 1, 12), 3 * 3600, true, "EEST"},
            {"Europe/Helsinki", utcSeconds(2026, 1, 15, 12), 2 * 3600, false, "EET"},
            {"Asia/Kolkata", utcSeconds(2026, 1, 15), 19800, false, "IST"},
            {"Asia/Calcutta", utcSeconds(2026, 7, 1), 19800, false,
             "IST"}, // the older name
                     // Half an hour of daylight time, in the southern spring.
            {"Australia/Lord_Howe", utcSeconds(2026, 10, 3, 15, 29, 59), 37800, false, "+1030"},
            {"Australia/Lord_Howe", utcSeconds(2026, 10, 3, 15, 30), 39600, true, "+11"},
            // Past the files' last listed change: the footer's rule.
            {"America/Chicago", utcSeconds(2100, 3, 14, 7, 59, 59), -6 * 3600, false, "CST"},
            {"America/Chicago", utcSeconds(2100, 3, 14, 8), -5 * 3600, true, "CDT"},
            {"Australia/Lord_Howe", utcSeconds(2200, 1, 1), 39600, true, "+11"},
            {"Asia/Tokyo", utcSeconds(2026, 7, 1), 9 * 3600, false, "JST"},
            {"Asia/Tokyo", utcSeconds(2500, 7, 1), 9 * 3600, false, "JST"},
        });
}

TEST(ZoneRules, LocalTimesFindTheirMoment)
{
    const std::shared_ptr<const ZoneRules> chicago = systemZones().find("America/Chicago");
    const std::shared_ptr<const ZoneRules> santiago = systemZones().find("America/Santiago");
    ASSERT_TRUE(chicago && santiago);
    // Local times are counted as utcSeconds() counts, read off the zone's clocks.
    EXPECT_EQ(chicago->utcOfLocal(utcSeconds(2026, 7, 4, 12, 0)), utcSeconds(2026, 7, 4, 17));
    // 2:30 is skipped: the moment 2:30 standard time would be, shown as 3:30.
    EXPECT_EQ(chicago->utcOfLocal(utcSeconds(2026, 3, 8, 2, 30)), utcSeconds(2026, 3, 8, 8, 30));
    // 1:30 comes twice: the first, still in daylight time.
    EXPECT_EQ(chicago->utcOfLocal(utcSeconds(2026, 11, 1, 1, 30)), utcSeconds(2026, 11, 1, 6, 30));
    // Chile skips midnight itself: the day starts at the change, at 1:00.
    EXPECT_EQ(santiago->utcOfLocal(utcSeconds(2026, 9, 6, 0, 0)), utcSeconds(2026, 9, 6, 4));
}

TEST(ZoneRules, OnlyZoneNamesAreLookedUpAndMissesAreLoggedOnce)
{
    QStringList logged;
    const ZoneDatabase zones(ZoneFolder::system(),
                             GatewayLog([&logged](const QString& line) { logged.append(line); }));
    for (const char* name : {"", "localtime", "posixrules", "posix/Asia/Tokyo", "right/Asia/Tokyo",
                             "../etc/passwd", "Asia/../../../etc/passwd", "/usr/share/zoneinfo/UTC",
                             "Asia//Tokyo", "Asia/Tokyo/", "Asia/Tokyo\n", "zone.tab"})
        EXPECT_FALSE(zones.find(name)) << name;
    EXPECT_TRUE(logged.isEmpty());

    EXPECT_FALSE(zones.find("Europe/Atlantis"));
    EXPECT_FALSE(zones.find("Europe/Atlantis"));
    EXPECT_FALSE(zones.find("Asia")); // a folder
    EXPECT_EQ(logged.size(), 2) << logged.join(QLatin1Char('\n')).toStdString();
}

TEST(ZoneRules, CompiledInZonesMatchTheSystemsOwn)
{
    const ZoneDatabase compiledIn(std::make_unique<ZoneFolder>(QStringLiteral(":/test-zoneinfo")));
    expectFacts(compiledIn,
                {
                    {"Australia/Lord_Howe", utcSeconds(2026, 10, 3, 15, 30), 39600, true, "+11"},
                    {"Australia/Lord_Howe", utcSeconds(2200, 7, 1), 37800, false, "+1030"},
                    {"GMT", utcSeconds(2026, 7, 1), 0, false, "GMT"},
                });
    EXPECT_FALSE(compiledIn.find("Asia/Tokyo")); // not compiled into this test
}
