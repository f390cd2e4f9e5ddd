#include "app/PlatformRequest.h"

#include <gtest/gtest.h>

using namespace brisora;

TEST(PlatformRequest, XComesFirstUnlessThePlatformIsNamed)
{
    const char* plain[] = {"brisora"};
    const char* withArgument[] = {"brisora", "-platform", "offscreen"};
    const char* withLongArgument[] = {"brisora", "--platform", "wayland"};
    const PlatformEnvironment both{"", ":0", "wayland-0"};
    EXPECT_EQ(platformRequest(1, plain, both), "xcb;wayland");
    EXPECT_EQ(platformRequest(1, plain, {"", ":1", ""}), "xcb;wayland");
    EXPECT_EQ(platformRequest(1, plain, {"", "", "wayland-0"}), "wayland");
    EXPECT_EQ(platformRequest(1, plain, {"", "", ""}), "") << "nothing to choose: Qt's default";
    EXPECT_EQ(platformRequest(1, plain, {"offscreen", ":0", "wayland-0"}), "");
    EXPECT_EQ(platformRequest(1, plain, {"wayland", ":0", ""}), "");
    EXPECT_EQ(platformRequest(3, withArgument, both), "");
    EXPECT_EQ(platformRequest(3, withLongArgument, both), "");
    EXPECT_EQ(platformRequest(1, plain, both, WindowSystems::Windows),
              "windows:fontengine=freetype")
        << "a Windows build asks for its own platform even where DISPLAY is set";
    EXPECT_EQ(platformRequest(1, plain, {"offscreen", "", ""}, WindowSystems::Windows), "");
}
