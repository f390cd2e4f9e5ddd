#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <cstdint>
#include <string>

namespace brisora {

/// The persistent settings record, one field per line of brisora.conf.
/// The switches (StartWithWindows, StartInTray, UseCelsius) are numbers that the
/// program tests for equality with 1. Text fields hold UTF-8.
struct Settings
{
    std::int16_t StartWithWindows = 0;
    std::int16_t StartInTray = 0;
    std::int16_t RefreshHours = 0;
    std::int32_t WindowLeft = 0; // twips
    std::int32_t WindowTop = 0;  // twips
    std::string LocationWoeid;
    std::int16_t UseCelsius = 0;
    std::string LocationName;

    bool operator==(const Settings&) const = default;
};

/// What a first run starts with: zero values, except an hourly refresh and the
/// ">none" place that tells every window that no place is chosen yet.
inline Settings firstRunSettings()
{
    Settings s;
    s.RefreshHours = 1;
    s.LocationName = ">none";
    return s;
}

} // namespace brisora
