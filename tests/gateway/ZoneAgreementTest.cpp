#include "GatewayTestData.h"
#include "ZoneName.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using brisora::gateway::test::systemZones;

namespace {

/// What the C library says zone `name` (set as TZ) shows at `moment`.
LocalTimeType libraryTime(std::int64_t moment)
{
    const std::time_t time = moment;
    std::tm local{};
    localtime_r(&time, &local);
    return LocalTimeType{static_cast<std::int32_t>(local.tm_gmtoff), local.tm_isdst > 0,
                         local.tm_zone};
}

} // namespace

// Every zone, 1900 to 2060, against the C library reading the same files: every eleven days,
// and the seconds either side of each change found in between.
TEST(ZoneAgreement, EveryZoneAgreesWithTheCLibrary)
{
    const std::filesystem::path root = BRISORA_ZONEINFO_DIR;
    const std::int64_t first = -70LL * 365 * 86400;
    const std::int64_t last = 90LL * 365 * 86400;
    const std::int64_t step = 11 * 86400 + 3607;
    const std::optional<std::string> ownZone =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
    int zones = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).generic_string();
        if (!entry.is_regular_file() || !isZoneName(name))
            continue;
        const std::shared_ptr<const ZoneRules> zone = systemZones().find(name);
        ASSERT_TRUE(zone) << name;
        ++zones;
        setenv("TZ", (':' + name).c_str(), 1);
        tzset();
        int mismatches = 0;
        const auto expectSame = [&](std::int64_t moment) {
            if (zone->at(moment) == libraryTime(moment) || ++mismatches > 3)
                return;
            ADD_FAILURE() << name << " at " << moment << ": " << zone->at(moment).abbreviation
                          << " " << zone->at(moment).utcOffset << ", the C library "
                          << libraryTime(moment).abbreviation << " "
                          << libraryTime(moment).utcOffset;
        };
        const LocalTimeType* here = &zone->at(first);
        for (std::int64_t moment = first; moment < last; moment += step) {
            const LocalTimeType* next = &zone->at(moment + step);
            expectSame(moment);
            if (*here != *next) {
                std::int64_t before = moment, after = moment + step;
                while (after - before > 1) {
                    const std::int64_t middle = before + (after - before) / 2;
                    (zone->at(middle) == *here ? before : after) = middle;
                }
                expectSame(before);
                expectSame(after);
            }
            here = next;
        }
    }
    ownZone ? setenv("TZ", ownZone->c_str(), 1) : unsetenv("TZ");
    tzset();
    EXPECT_GT(zones, 400);
}
