#include "PlatformRequest.h"

namespace brisora {

std::string_view platformRequest(int argc, const char* const* argv,
                                 const PlatformEnvironment& environment, WindowSystems systems)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform")
            return {};
    }
    if (!environment.qpaPlatform.empty())
        return {};
    if (systems == WindowSystems::Windows)
        return "windows:fontengine=freetype";
    if (!environment.xDisplay.empty())
        return "xcb;wayland";
    if (!environment.waylandDisplay.empty())
        return "wayland";
    return {};
}

} // namespace brisora
