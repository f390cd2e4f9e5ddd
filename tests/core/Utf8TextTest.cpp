#include "app/Utf8Text.h"

#include <gtest/gtest.h>

using namespace brisora;

TEST(Utf8Text, ValidUtf8StaysAndOtherBytesAreWindows1252)
{
    EXPECT_EQ(displayUtf8("S\xC3\xA3o Paulo"), "S\xC3\xA3o Paulo");
    EXPECT_EQ(displayUtf8("S\xE3o Paulo"), "S\xC3\xA3o Paulo");
    EXPECT_EQ(displayUtf8("\xB0"), "\xC2\xB0");
    EXPECT_EQ(displayUtf8("\x8Eilina \x80\x9F"), "\xC5\xBDilina \xE2\x82\xAC\xC5\xB8");
    // The five bytes that Windows-1252 leaves undefined.
    EXPECT_EQ(displayUtf8("\x81\x8D\x8F\x90\x9D"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                                                   "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // cut short
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8C\xA7"));
}

TEST(Utf8Text, FirstCodePointsNeverSplitACharacter)
{
    EXPECT_EQ(firstCodePoints("abc", 2), "ab");
    EXPECT_EQ(firstCodePoints("a\xC3\xA3"
                              "b",
                              2),
              "a\xC3\xA3");
    EXPECT_EQ(firstCodePoints("ab", 5), "ab");
    EXPECT_EQ(firstCodePoints("", 3), "");
}
