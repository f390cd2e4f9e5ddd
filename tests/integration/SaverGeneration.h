#pragma once
// The settings file that the saver writes as its n-th save. Generations differ in every
// line that can differ and in length, so a torn or mixed file never passes for a whole one.

#include "app/SettingsCodec.h"

#include <string>

namespace brisora::test {

inline std::string saverGeneration(int n)
{
    Settings settings;
    settings.StartWithWindows = static_cast<std::int16_t>(n % 2);
    settings.StartInTray = static_cast<std::int16_t>((n / 2) % 2);
    settings.RefreshHours = static_cast<std::int16_t>(1 + n % 12);
    settings.WindowLeft = n;
    settings.WindowTop = -n;
    settings.LocationWoeid = std::to_string(1000000 + n);
    settings.UseCelsius = static_cast<std::int16_t>(n % 2);
    // A long name makes each save span several writes' worth of bytes.
    settings.LocationName = "Gen " + std::to_string(n) + " " +
                            std::string(static_cast<std::size_t>(2000 + (n * 37) % 3000), 'x');
    return encodeSettings(settings);
}

/// The generation a file claims to be (its WindowLeft line), or -1 when it cannot say.
inline int claimedGeneration(const std::string& file)
{
    Settings unknown;
    unknown.WindowLeft = -1;
    const DecodedSettings decoded = decodeSettings(file, unknown);
    return decoded.linesRead == 8 ? decoded.settings.WindowLeft : -1;
}

} // namespace brisora::test
