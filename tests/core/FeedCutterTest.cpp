#include "feed/FeedCutter.h"
#include "support/Fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace brisora;

namespace {

using brisora::test::fixture;

/// `text` with its first `from` replaced by `to`.
std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

/// The captions of the nine main cuts, in cut order.
std::array<std::string, 9> captions(const FeedCut& cut)
{
    return {cut.title,         cut.dateTime,    cut.windChill, cut.windSpeed, cut.condition,
            cut.conditionCode, cut.temperature, cut.day1,      cut.day2};
}

std::string repeated(std::string_view piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

class FeedCutter : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { std::setlocale(LC_ALL, "C"); }

    const std::string imperial = fixture("feed-imperial.txt");
};

} // namespace

TEST_F(FeedCutter, ImperialReplyFillsEveryCaption)
{
    const FeedCut cut = cutFeed(imperial, 0);
    ASSERT_TRUE(cut.complete());
    EXPECT_EQ(cut.title, "Lakeside, MN");
    EXPECT_EQ(cut.dateTime, "at Tue, 08 Dec 2026 3:53 pm CST");
    EXPECT_EQ(cut.windChill, "-11 \xC2\xB0"
                             "F");
    EXPECT_EQ(cut.windSpeed, "15 mph");
    EXPECT_EQ(cut.condition, "Light Snow");
    EXPECT_EQ(cut.conditionCode, "14  "); // the two spaces before "temp=" stay
    EXPECT_EQ(cut.imageIndex, 15);
    EXPECT_EQ(cut.temperature, "3 \xC2\xB0"
                               "F");
    EXPECT_EQ(cut.day1, "Tue, Snow. High:9  Low:-4");
    EXPECT_FALSE(cut.day1NeedsTwoLines) << "exactly 25 bytes stays on one line";
    EXPECT_EQ(cut.day2, "Wed, Partly Cloudy. High:15  Low:2 ") << "day 2 is not trimmed";
    EXPECT_EQ(cut.tooltip, "Lakeside, MN : 3 \xC2\xB0"
                           "F");
}

TEST_F(FeedCutter, MetricReplyKeepsDecimalsAndUtf8)
{
    const FeedCut cut = cutFeed(fixture("feed-metric.txt"), 1);
    ASSERT_TRUE(cut.complete());
    EXPECT_EQ(cut.title, "S\xC3\xA3o Paulo, SP");
    EXPECT_EQ(cut.dateTime, "at Tue, 08 Dec 2026 10:00 pm BRT");
    EXPECT_EQ(cut.windChill, "21.5 \xC2\xB0"
                             "C");
    EXPECT_EQ(cut.windSpeed, "12.87 kmph");
    EXPECT_EQ(cut.condition, "Partly Cloudy");
    EXPECT_EQ(cut.imageIndex, 30);
    EXPECT_EQ(cut.temperature, "22 \xC2\xB0"
                               "C");
    EXPECT_EQ(cut.day1, "Tue, Thunderstorms. High:28  Low:19");
    EXPECT_TRUE(cut.day1NeedsTwoLines);
    EXPECT_EQ(cut.day2, "Wed, Showers. High:27  Low:18 ");
    EXPECT_EQ(cut.tooltip, "S\xC3\xA3o Paulo, SP : 22 \xC2\xB0"
                           "C");
}

TEST_F(FeedCutter, OnlyUseCelsiusOneSelectsMetricSuffixes)
{
    const FeedCut metric = cutFeed(imperial, 1);
    EXPECT_EQ(metric.windChill, "-11 \xC2\xB0"
                                "C");
    EXPECT_EQ(metric.windSpeed, "15 kmph");
    EXPECT_EQ(metric.temperature, "3 \xC2\xB0"
                                  "C");
    for (const int other : {0, 2, -1}) {
        const FeedCut cut = cutFeed(imperial, other);
        EXPECT_EQ(cut.windChill, "-11 \xC2\xB0"
                                 "F")
            << other;
        EXPECT_EQ(cut.windSpeed, "15 mph") << other;
        EXPECT_EQ(cut.temperature, "3 \xC2\xB0"
                                   "F")
            << other;
        EXPECT_EQ(cut.day1, metric.day1) << "forecast temperatures carry no unit";
    }
}

TEST_F(FeedCutter, NumbersAreShownExactlyAsWritten)
{
    std::string reply = replaced(imperial, "chill=\"-11\"", "chill=\"-12.25\"");
    reply = replaced(reply, "speed=\"15\"", "speed=\"7.5\"");
    reply = replaced(reply, "temp=\"3\"", "temp=\"-0.5\"");
    reply = replaced(reply, "low=\"-4\" high=\"9\"", "low=\"-4.5\" high=\"-0\"");
    const FeedCut cut = cutFeed(reply, 0);
    EXPECT_EQ(cut.windChill, "-12.25 \xC2\xB0"
                             "F");
    EXPECT_EQ(cut.windSpeed, "7.5 mph");
    EXPECT_EQ(cut.temperature, "-0.5 \xC2\xB0"
                               "F");
    EXPECT_EQ(cut.day1, "Tue, Snow. High:-0  Low:-4.5");
}

TEST_F(FeedCutter, ConditionCodePicksTheImage)
{
    struct Case
    {
        const char* code;
        int image;
        const char* kept;
    };
    const Case cases[] = {
        {"\"0\"", 1, "0  "},
        {"\"47\"", 48, "47  "},
        {"\"48\"", 49, "48"},
        {"\"3200\"", 49, "48"},
        {"\"32767\"", 49, "48"},
        {"\" 7\"   ", 8, " 7     "}, // spaces before "temp=" still read as the number
        {"\"007\"", 8, "007  "},
        {"\"+5\"", 6, "+5  "}, // a sign is read as the settings file's numbers are
        {"\"-0\"", 1, "-0  "},
        // Not a whole number from 0 to 32767: the "not available" picture, code kept as cut.
        {"\"\"", 49, "  "},
        {"\"abc\"", 49, "abc  "},
        {"\"-1\"", 49, "-1  "},
        {"\"32768\"", 49, "32768  "},
        {"\"4.5\"", 49, "4.5  "},
        {"\"+-5\"", 49, "+-5  "},
        {"\"\t5\"", 49, "\t5  "},
    };
    for (const Case& c : cases) {
        const FeedCut cut = cutFeed(replaced(imperial, "\"14\"", c.code), 0);
        ASSERT_TRUE(cut.complete()) << c.code;
        EXPECT_EQ(cut.imageIndex, c.image) << c.code;
        EXPECT_EQ(cut.conditionCode, c.kept) << c.code;
    }
}

TEST_F(FeedCutter, QuotesStayInTheTitleOnly)
{
    std::string reply = replaced(imperial, "Lakeside, MN</title>", "\"Lake\"  side, MN </title>");
    reply = replaced(reply, "text=\"Light Snow\"", "text=\"\"Light\" Snow\"");
    reply = replaced(reply, "text=\"Snow\"", "text=\"\"Snow\"\"");
    const FeedCut cut = cutFeed(reply, 0);
    EXPECT_EQ(cut.title, "\"Lake\"  side, MN ");
    EXPECT_EQ(cut.condition, "Light Snow");
    EXPECT_EQ(cut.day1, "Tue, Snow. High:9  Low:-4");
}

TEST_F(FeedCutter, Day1OverTwentyFiveBytesNeedsTwoLines)
{
    // 26 characters; the second line's length never matters.
    EXPECT_TRUE(cutFeed(replaced(imperial, "high=\"9\"", "high=\"10\""), 0).day1NeedsTwoLines);
    // 25 characters but 27 bytes: the test counts raw bytes.
    EXPECT_TRUE(cutFeed(replaced(imperial, "text=\"Snow\"", "text=\"N\xC3\xA9v\xC3\xA9\""), 0)
                    .day1NeedsTwoLines);

    const FeedCut longForecast = cutFeed(fixture("feed-long-forecast.txt"), 0);
    ASSERT_TRUE(longForecast.complete());
    EXPECT_EQ(longForecast.day1, "Wed, Scattered Thunderstorms. High:88  Low:76");
    EXPECT_TRUE(longForecast.day1NeedsTwoLines);
    EXPECT_EQ(longForecast.day2, "Thu, Sunny. High:85  Low:74 ");
    EXPECT_EQ(longForecast.condition, "Isolated Thundershowers");
    EXPECT_EQ(longForecast.imageIndex, 48);
}

TEST_F(FeedCutter, TooltipKeepsSixtyThreeCharacters)
{
    const std::string e = "\xC3\xA9"; // two bytes, one character
    const auto tooltipFor = [&](const std::string& place) {
        return cutFeed(replaced(imperial, "Lakeside, MN</title>", place + "</title>"), 0).tooltip;
    };
    EXPECT_EQ(tooltipFor(repeated(e, 58)), repeated(e, 58) + " : 3 ");
    EXPECT_EQ(tooltipFor(repeated(e, 60)), repeated(e, 60) + " : ");
    EXPECT_EQ(tooltipFor(repeated(e, 70)), repeated(e, 63));
}

TEST_F(FeedCutter, MissingKeyOrEarlyEndStopsTheWalk)
{
    struct Case
    {
        const char* what;
        std::string reply;
        int cutsDone;
    };
    const std::string errorDocument =
        "HTTP/1.1 200 OK\r\nContent-Type: text/xml;charset=UTF-8\r\n\r\n"
        "<rss version=\"2.0\">\n<channel>\n<title>Weather Report - Error</title>\n"
        "<item><title>City not found</title><description>\nInvalid Input /forecastrss?w=0\n"
        "</description></item></channel></rss>\n";
    const std::string oneForecast =
        imperial.substr(0, imperial.find("<yweather:forecast day=\"Wed\""));
    const Case cases[] = {
        {"empty", "", 0},
        {"title shorter than its prefix", "<title>Weather Report</title>", 0},
        {"title end before its start", "</title><title>Weather Report - Place</title>", 0},
        {"error document", errorDocument, 1},
        {"wind without direction", replaced(imperial, "direction=", "heading="), 2},
        {"end key inside the skip",
         replaced(imperial, "wind chill=\"-11\"", "wind chilldirection=\"-11\""), 2},
        {"condition without temperature", replaced(imperial, "temp=\"3\"", "tmp=\"3\""), 5},
        {"first forecast without text", replaced(imperial, "text=\"Snow\"", "txt=\"Snow\""), 7},
        {"only one forecast", oneForecast, 8},
    };
    for (const Case& c : cases) {
        const FeedCut cut = cutFeed(c.reply, 0);
        EXPECT_EQ(cut.cutsDone, c.cutsDone) << c.what;
        const auto got = captions(cut);
        for (std::size_t i = static_cast<std::size_t>(c.cutsDone); i < got.size(); ++i)
            EXPECT_EQ(got[i], "") << c.what << ", caption " << i + 1;
        EXPECT_EQ(cut.tooltip, "") << c.what;
    }
    // A value may be empty: the end key right at the value's start is still a cut.
    const FeedCut emptyChill =
        cutFeed(replaced(imperial, "wind chill=\"-11\"", "wind chill=direction=\"-11\""), 0);
    EXPECT_TRUE(emptyChill.complete());
    EXPECT_EQ(emptyChill.windChill, " \xC2\xB0"
                                    "F");
}

TEST_F(FeedCutter, ReplyCutShortAtEveryLengthYieldsAPrefixOfTheFullCut)
{
    for (const char* name : {"feed-imperial.txt", "feed-metric.txt", "feed-long-forecast.txt"}) {
        const std::string reply = fixture(name);
        const FeedCut full = cutFeed(reply, 1);
        ASSERT_TRUE(full.complete()) << name;
        const auto fullCaptions = captions(full);
        int previous = 0;
        for (std::size_t length = 0; length <= reply.size(); ++length) {
            // A buffer of exactly this size, so that AddressSanitizer sees any read past it.
            const auto bytes = std::make_unique<char[]>(length);
            std::memcpy(bytes.get(), reply.data(), length);
            const FeedCut cut = cutFeed(std::string_view(bytes.get(), length), 1);
            ASSERT_GE(cut.cutsDone, previous) << name << " at " << length;
            previous = cut.cutsDone;
            const auto got = captions(cut);
            for (std::size_t i = 0; i < got.size(); ++i) {
                const bool done = i < static_cast<std::size_t>(cut.cutsDone);
                ASSERT_EQ(got[i], done ? fullCaptions[i] : "")
                    << name << " at " << length << ", caption " << i + 1;
            }
            ASSERT_EQ(cut.tooltip, cut.complete() ? full.tooltip : "") << name << " at " << length;
        }
        EXPECT_EQ(previous, 9) << name;
    }
}
