#include "TzifParser.h"
#include "GatewayTestData.h"
#include "PosixTzRule.h"
#include "ZoneFolder.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace brisora::gateway;
using brisora::gateway::test::utcSeconds;
using namespace std::string_literals;

namespace {

std::string bigEndian(std::uint64_t value, int bytes)
{
    std::string text;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        text += static_cast<char>(value >> shift & 0xff);
    return text;
}

struct TypeRecord
{
    std::int64_t offset;
    int daylight;
    int abbreviationIndex;
};

struct ZoneFile
{
    std::vector<std::pair<std::int64_t, int>> changes; // moment, type
    std::vector<TypeRecord> types{{3600, 0, 0}, {7200, 1, 4}};
    std::string abbreviations{"AAA\0BBB\0", 8};
    std::string footer = "\nCCC-3\n";
    char version = '2';

    /// The file's bytes: one block for version 1, else a 32-bit and a 64-bit block and the
    /// footer, with the same data.
    std::string bytes() const
    {
        const auto block = [this](int timeSize) {
            std::string data = "TZif" + std::string(1, version) + std::string(15, '\0');
            for (std::size_t count : {std::size_t{0}, std::size_t{0}, std::size_t{0},
                                      changes.size(), types.size(), abbreviations.size()})
                data += bigEndian(count, 4);
            for (const auto& change : changes)
                data += bigEndian(static_cast<std::uint64_t>(change.first), timeSize);
            for (const auto& change : changes)
                data += static_cast<char>(change.second);
            for (const TypeRecord& type : types)
                data += bigEndian(static_cast<std::uint64_t>(type.offset), 4) +
                        static_cast<char>(type.daylight) +
                        static_cast<char>(type.abbreviationIndex);
            return data + abbreviations;
        };
        return version == '\0' ? block(4) : block(4) + block(8) + footer;
    }
};

} // namespace

TEST(TzifParser, ReadsChangesTypesAndFooterOfEachVersion)
{
    ZoneFile file;
    file.changes = {{-100, 1}, {1000, 0}};
    for (char version : {'\0', '2', '3'}) {
        file.version = version;
        const std::optional<ZoneRules> zone = parseTzif(file.bytes());
        ASSERT_TRUE(zone) << int(version);
        EXPECT_EQ(zone->at(-101), (LocalTimeType{3600, false, "AAA"})); // before any change
        EXPECT_EQ(zone->at(-100), (LocalTimeType{7200, true, "BBB"}));
        EXPECT_EQ(zone->at(1000).abbreviation, "AAA");
        // After the last change, the footer's rule; version 1 has none.
        EXPECT_EQ(zone->at(1001).abbreviation, version == '\0' ? "AAA" : "CCC");
    }
    file.footer = "\n\n"; // an empty rule: the last type goes on
    EXPECT_EQ(parseTzif(file.bytes())->at(5000).abbreviation, "AAA");
}

TEST(TzifParser, EveryCutOfARealFileIsRefused)
{
    const std::optional<std::string> chicago = ZoneFolder::system()->zoneFile("America/Chicago");
    ASSERT_TRUE(chicago);
    ASSERT_TRUE(parseTzif(*chicago));
    for (std::size_t length = 0; length < chicago->size(); ++length)
        EXPECT_FALSE(parseTzif(std::string_view(*chicago).substr(0, length))) << length;
}

TEST(TzifParser, BrokenFilesAreRefused)
{
    std::vector<ZoneFile> broken(11);
    broken[0].version = '5';
    broken[1].changes = {{0, 2}};             // no such type
    broken[2].types[1].abbreviationIndex = 8; // past the abbreviations
    broken[3].abbreviations = "AAA\0BBB"s;    // the last one unended
    broken[4].changes = {{10, 0}, {10, 1}};   // not ascending
    broken[5].types[0].daylight = 2;
    broken[6].types[0].offset = std::numeric_limits<std::int32_t>::min();
    broken[7].types[0].offset = 27 * 3600;
    broken[8].types.clear();
    broken[9].footer = "\nCCC-3"; // unended
    broken[10].footer = "\nnot a rule\n";
    for (std::size_t i = 0; i < broken.size(); ++i)
        EXPECT_FALSE(parseTzif(broken[i].bytes())) << i;

    std::string file = ZoneFile().bytes();
    file[4] = '3'; // the first block's version differs from the second's
    EXPECT_FALSE(parseTzif(file));
    file = ZoneFile().bytes();
    file.replace(32, 4, "\xff\xff\xff\xff"); // four billion changes claimed
    EXPECT_FALSE(parseTzif(file));
    file = ZoneFile().bytes();
    file[3] = 'F';
    EXPECT_FALSE(parseTzif(file));
}

TEST(PosixTzRule, DatesAndTimesOfEveryForm)
{
    struct Case
    {
        const char* rule;
        std::int64_t moment;
        std::int32_t utcOffset;
        bool isDaylight;
    };
    const Case cases[] = {
        // Daylight time all year: it ends as it starts again.
        {"EST5EDT,0/0,J365/25", utcSeconds(2026, 1, 1, 5), -4 * 3600, true},
        {"EST5EDT,0/0,J365/25", utcSeconds(2026, 12, 31, 23), -4 * 3600, true},
        // Winter as the daylight time, behind standard time; times of day below zero.
        {"IST-1GMT0,M10.5.0,M3.5.0/1", utcSeconds(2026, 1, 15), 0, true},
        {"IST-1GMT0,M10.5.0,M3.5.0/1", utcSeconds(2026, 3, 29, 1), 3600, false},
        {"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", utcSeconds(2026, 3, 29, 1), -3600, true},
        // Jn never counts 29 February, n does.
        {"AAA0BBB,J60/0,J61/0", utcSeconds(2028, 3, 1, 12), 3600, true},
        {"AAA0BBB,J60/0,J61/0", utcSeconds(2028, 2, 29, 12), 0, false},
        {"AAA0BBB,59/0,60/0", utcSeconds(2028, 2, 29, 12), 3600, true},
        {"AAA0BBB,59/0,60/0", utcSeconds(2027, 3, 1, 12), 3600, true},
        // Centuries away, the same calendar.
        {"CST6CDT,M3.2.0,M11.1.0", utcSeconds(1600, 7, 1), -5 * 3600, true},
        {"CST6CDT,M3.2.0,M11.1.0", utcSeconds(12026, 1, 1), -6 * 3600, false},
        {"CST6CDT,M3.2.0,M11.1.0", utcSeconds(2100, 11, 7, 7), -6 * 3600, false},
    };
    for (const Case& c : cases) {
        const std::optional<PosixTzRule> rule = PosixTzRule::parse(c.rule);
        ASSERT_TRUE(rule) << c.rule;
        EXPECT_EQ(rule->at(c.moment).utcOffset, c.utcOffset) << c.rule << " at " << c.moment;
        EXPECT_EQ(rule->at(c.moment).isDaylight, c.isDaylight) << c.rule << " at " << c.moment;
    }
    const std::optional<PosixTzRule> chicago = PosixTzRule::parse("CST6CDT,M3.2.0,M11.1.0");
    EXPECT_EQ(chicago->at(std::numeric_limits<std::int64_t>::min()).abbreviation, "CST");
    EXPECT_EQ(chicago->at(std::numeric_limits<std::int64_t>::max()).abbreviation, "CST");
}

TEST(PosixTzRule, MalformedRulesAreRefused)
{
    for (const char* text : {"",
                             "AB5",
                             "EST",
                             "<AB>5",
                             "<ABC5",
                             "<A B>5",
                             "EST25",
                             "EST5:60",
                             "EST5x",
                             "EST5EDT",
                             "EST5EDT,",
                             "EST5EDT,M3.2.0",
                             "EST5EDT,M3.2.0,",
                             "EST5EDT,M13.1.0,M11.1.0",
                             "EST5EDT,M0.1.0,M11.1.0",
                             "EST5EDT,M3.6.0,M11.1.0",
                             "EST5EDT,M3.0.0,M11.1.0",
                             "EST5EDT,M3.2.7,M11.1.0",
                             "EST5EDT,M3.2,M11.1.0",
                             "EST5EDT,J0,J365",
                             "EST5EDT,J366,J1",
                             "EST5EDT,366,0",
                             "EST5EDT,M3.2.0/168,M11.1.0",
                             "EST5EDT,M3.2.0/2:60,M11.1.0",
                             "EST5EDT,M3.2.0,M11.1.0,",
                             "EST5EDT4:00:00:00,M3.2.0,M11.1.0"})
        EXPECT_FALSE(PosixTzRule::parse(text)) << text;
}
