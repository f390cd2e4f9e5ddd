#include "search/PlaceReplyCutter.h"
#include "support/Fixture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace brisora;

namespace {

using brisora::test::fixture;

/// A one-line reply in the old layout around `places`.
std::string replyWith(const std::string& places)
{
    return "HTTP/1.1 200 OK\r\n\r\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<query yahoo:count=\"1\"><results>" +
           places + "</results></query><!-- total: 9 -->";
}

std::string place(const std::string& woeid, const std::string& locality)
{
    return "<place><woeid>" + woeid + "</woeid><placeTypeName code=\"7\">Town</placeTypeName>" +
           "<admin3/>" + locality + "<locality2/><postal/></place>";
}

class PlaceReplyCutter : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { std::setlocale(LC_ALL, "C"); }
};

} // namespace

TEST_F(PlaceReplyCutter, RecordedRepliesGiveTheFirstPlace)
{
    const PlaceCut one = cutPlaceReply(fixture("search-one.txt"));
    EXPECT_TRUE(one.found);
    EXPECT_EQ(one.woeid, "90455827");
    EXPECT_EQ(one.name, ">S\xC3\xA3o Paulo");

    const PlaceCut several = cutPlaceReply(fixture("search-several.txt"));
    EXPECT_TRUE(several.found);
    EXPECT_EQ(several.woeid, "92401284");
    EXPECT_EQ(several.name, ">Springfield");

    const PlaceCut none = cutPlaceReply(fixture("search-none.txt"));
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.woeid, std::nullopt);
    EXPECT_EQ(none.name, std::nullopt);
}

TEST_F(PlaceReplyCutter, NameComesFromTheFirstLocalityAfterTheFirstWoeid)
{
    // The first place has no locality: the next place's locality names the first place's id.
    const PlaceCut cut = cutPlaceReply(
        replyWith(place("12", "<locality1/>") +
                  place("34", "<locality1 type=\"Town\" woeid=\"34\">Second</locality1>")));
    EXPECT_TRUE(cut.found);
    EXPECT_EQ(cut.woeid, "12");
    EXPECT_EQ(cut.name, ">Second");

    const PlaceCut before = cutPlaceReply("<locality1 type=\"Town\" woeid=\"1\">Early</locality1>" +
                                          replyWith(place("56", "<locality1/>")));
    EXPECT_FALSE(before.found) << "a locality before the woeid is not looked at";
    EXPECT_EQ(before.woeid, "56");
    EXPECT_EQ(before.name, std::nullopt);
}

TEST_F(PlaceReplyCutter, IdentifierDecidesWhetherThePlaceCanBeStored)
{
    struct Case
    {
        const char* locality;
        bool found;
        const char* name;
    };
    const Case cases[] = {
        {"<locality1 type=\"Town\" woeid=\"2436704\">Lakeside</locality1>", true, ">Lakeside"},
        {"<locality1 type=\"Town\" woeid=\"7\">A &amp; B </locality1>", true, ">A &amp; B "},
        {"<locality1 type=\"Town\" woeid=\"\">Empty</locality1>", false, ">Empty"}, // ">" 9th
        {"<locality1 type=\"Town\" id=\"7\">Early</locality1>", false, ">Early"},   // ">" 7th
        {"<locality1 type=\"Town\" >Earliest</locality1>", false, ">Earliest"},     // ">" 1st
        {"<locality1 type=\"Town\" Bare</locality1>", false, "Bare"},               // no ">"
        {"<locality1 type=\"Town\" woeid=\"8\">\x8Eilina</locality1>", true,
         ">\xC5\xBDilina"}, // not UTF-8: read as Windows-1252
    };
    for (const Case& c : cases) {
        const PlaceCut cut = cutPlaceReply(replyWith(place("99", c.locality)));
        EXPECT_EQ(cut.found, c.found) << c.locality;
        EXPECT_EQ(cut.woeid, "99") << c.locality;
        EXPECT_EQ(cut.name, c.name) << c.locality;
    }
}

TEST_F(PlaceReplyCutter, BlankPlaceIdCannotBeStoredEvenWithALocality)
{
    // Stored, an empty id would leave the widget showing a name it can never fetch.
    for (const char* woeid : {"", "   "}) {
        const PlaceCut cut = cutPlaceReply(
            replyWith(place(woeid, "<locality1 type=\"Town\" woeid=\"5\">Nowhere</locality1>")));
        EXPECT_FALSE(cut.found) << '"' << woeid << '"';
        EXPECT_EQ(cut.woeid, woeid);
        EXPECT_EQ(cut.name, ">Nowhere");
    }
}

TEST_F(PlaceReplyCutter, MissingOrDisorderedMarkersFindNothing)
{
    const std::string good = "<locality1 type=\"Town\" woeid=\"5\">Good</locality1>";
    struct Case
    {
        const char* what;
        std::string reply;
        bool woeid;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"no woeid end", "<place><woeid>5<woeid>" + good, false},
        {"woeid end first", "<place></woeid>5<woeid>" + good, false},
        {"no locality", replyWith(place("5", "<locality1/>")), true},
        {"locality end only before its start",
         replyWith(place("5", "</locality1><locality1 type=\"Town\" >")), true},
        {"locality end inside the skip",
         replyWith(place("5", "<locality1 type=\"X\"></locality1>")), true},
    };
    for (const Case& c : cases) {
        const PlaceCut cut = cutPlaceReply(c.reply);
        EXPECT_FALSE(cut.found) << c.what;
        EXPECT_EQ(cut.woeid.has_value(), c.woeid) << c.what;
        EXPECT_EQ(cut.name, std::nullopt) << c.what;
    }
}

TEST_F(PlaceReplyCutter, ReplyCutShortAtEveryLengthYieldsAPrefixOfTheFullCut)
{
    for (const char* name : {"search-one.txt", "search-several.txt", "search-none.txt"}) {
        const std::string reply = fixture(name);
        const PlaceCut full = cutPlaceReply(reply);
        for (std::size_t length = 0; length <= reply.size(); ++length) {
            // A buffer of exactly this size, so that AddressSanitizer sees any read past it.
            const auto bytes = std::make_unique<char[]>(length);
            std::memcpy(bytes.get(), reply.data(), length);
            const PlaceCut cut = cutPlaceReply(std::string_view(bytes.get(), length));
            if (cut.woeid) {
                ASSERT_EQ(cut.woeid, full.woeid) << name << " at " << length;
            }
            if (cut.name) {
                ASSERT_EQ(cut.name, full.name) << name << " at " << length;
            }
            ASSERT_EQ(cut.found, cut.name && full.found) << name << " at " << length;
        }
    }
}
