#include "app/SettingsCodec.h"

#include <gtest/gtest.h>

using brisora::decodeSettings;
using brisora::encodeSettings;
using brisora::Settings;

namespace {

Settings sample()
{
    Settings s;
    s.StartWithWindows = 1;
    s.StartInTray = 0;
    s.RefreshHours = 12;
    s.WindowLeft = 45000;
    s.WindowTop = -300;
    s.LocationWoeid = "2459115";
    s.UseCelsius = 1;
    s.LocationName = ">S\xC3\xA3o Paulo";
    return s;
}

} // namespace

TEST(SettingsCodec, WritesEightCrLfLinesAndReadsThemBackByteExact)
{
    const std::string file = encodeSettings(sample());
    EXPECT_EQ(file, "1\r\n0\r\n12\r\n45000\r\n-300\r\n2459115\r\n1\r\n>S\xC3\xA3o Paulo\r\n");
    const auto decoded = decodeSettings(file, Settings{});
    EXPECT_EQ(decoded.linesRead, 8);
    EXPECT_EQ(decoded.settings, sample());
    EXPECT_EQ(encodeSettings(decoded.settings), file);
}

TEST(SettingsCodec, FileEndingEarlyKeepsStartValuesOfMissingLines)
{
    Settings start;
    start.LocationName = ">none";
    start.RefreshHours = 1;
    const auto decoded = decodeSettings("0\r\n1\r\n3\r\n", start);
    EXPECT_EQ(decoded.linesRead, 3);
    EXPECT_EQ(decoded.settings.StartInTray, 1);
    EXPECT_EQ(decoded.settings.RefreshHours, 3);
    EXPECT_EQ(decoded.settings.LocationName, ">none");

    EXPECT_EQ(decodeSettings("", start).linesRead, 0);
    EXPECT_EQ(decodeSettings("", start).settings, start);
}

TEST(SettingsCodec, TrimsSpacesButNotTabsAndAcceptsBareLf)
{
    const auto decoded =
        decodeSettings("  1  \n0\n 3 \n10\n20\n  123  \n1\n  Lake side \t\n", Settings{});
    EXPECT_EQ(decoded.settings.StartWithWindows, 1);
    EXPECT_EQ(decoded.settings.RefreshHours, 3);
    EXPECT_EQ(decoded.settings.LocationWoeid, "123");
    EXPECT_EQ(decoded.settings.LocationName, "Lake side \t");
}

TEST(SettingsCodec, BadNumericLinesKeepTheirStartValueAndOthersStillLoad)
{
    Settings start;
    start.RefreshHours = 1;
    // empty, garbage, 16-bit overflow, trailing junk, 32-bit overflow
    const std::string file = "\r\nabc\r\n40000\r\n12x\r\n9999999999\r\n77\r\n1\r\nTown\r\n";
    const auto s = decodeSettings(file, start).settings;
    EXPECT_EQ(s.StartWithWindows, 0);
    EXPECT_EQ(s.StartInTray, 0);
    EXPECT_EQ(s.RefreshHours, 1);
    EXPECT_EQ(s.WindowLeft, 0);
    EXPECT_EQ(s.WindowTop, 0);
    EXPECT_EQ(s.LocationWoeid, "77");
    EXPECT_EQ(s.UseCelsius, 1);
    EXPECT_EQ(s.LocationName, "Town");
}

TEST(SettingsCodec, RangeLimitsAreInclusiveAndSignsAreRead)
{
    const auto s =
        decodeSettings("-32768\r\n32767\r\n+6\r\n2147483647\r\n-2147483648\r\n", Settings{})
            .settings;
    EXPECT_EQ(s.StartWithWindows, -32768);
    EXPECT_EQ(s.StartInTray, 32767);
    EXPECT_EQ(s.RefreshHours, 6);
    EXPECT_EQ(s.WindowLeft, 2147483647);
    EXPECT_EQ(s.WindowTop, -2147483647 - 1);
}

TEST(SettingsCodec, PaddedFileIgnoresLinesAfterTheEighth)
{
    const auto decoded =
        decodeSettings("0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\nA\r\nextra\r\nmore\r\n", Settings{});
    EXPECT_EQ(decoded.linesRead, 8);
    EXPECT_EQ(decoded.settings.LocationName, "A");
}

TEST(SettingsCodec, OldEightBitNamesAreReadAsWindows1252)
{
    const auto s =
        decodeSettings("0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n\x8Eilina\r\n", Settings{}).settings;
    EXPECT_EQ(s.LocationName, "\xC5\xBDilina");
}

TEST(SettingsCodec, LineBreaksInsideTextFieldsCannotAddLines)
{
    Settings s;
    s.LocationName = "evil\r\n1\r\n";
    const std::string file = encodeSettings(s);
    EXPECT_EQ(decodeSettings(file, Settings{}).linesRead, 8);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 8);
}
