#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <string_view>

namespace brisora {

/// The environment that decides which window system the widget asks Qt for; an unset
/// variable is an empty view.
struct PlatformEnvironment
{
    std::string_view qpaPlatform;    ///< QT_QPA_PLATFORM
    std::string_view xDisplay;       ///< DISPLAY
    std::string_view waylandDisplay; ///< WAYLAND_DISPLAY
};

/// The window systems a build of the widget can run on.
enum class WindowSystems
{
    XOrWayland, ///< Unix desktops: Qt picks among several platforms
    Windows,    ///< Windows: the one native platform, whatever DISPLAY says
};

/// The value for QT_QPA_PLATFORM to set before the application object is made, or empty to
/// leave the choice as it stands. An X display comes first, as "xcb;wayland": only there can
/// the widget place its window and keep it above the others, and Qt goes on to Wayland when
/// the display cannot be reached. With no X display but a Wayland one: "wayland". A
/// "-platform" (or "--platform") argument or a QT_QPA_PLATFORM already set always wins.
/// A Windows build asks for its native platform with FreeType's glyphs, whatever DISPLAY
/// says (an X server on Windows, or Wine, sets it too): Windows' own engines place every
/// glyph on a whole pixel, which makes captions wider than the boxes they were laid out in.
std::string_view platformRequest(int argc, const char* const* argv,
                                 const PlatformEnvironment& environment,
                                 WindowSystems systems = WindowSystems::XOrWayland);

} // namespace brisora
