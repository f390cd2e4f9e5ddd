#pragma once

#include "app/Settings.h"
#include "app/SettingsCodec.h"

#include <QSize>

#include <optional>

namespace brisora {

class ScreenMetrics;
class SettingsStorage;

/// The settings file in the place the storage chooses for it.
class SettingsFile
{
public:
    SettingsFile(SettingsStorage& storage, const ScreenMetrics& screen);

    /// The file's settings and how many lines it held; nullopt when there is no file.
    std::optional<DecodedSettings> read() const;
    /// Replaces the file with `settings`, atomically.
    void write(const Settings& settings) const;
    /// First run: an hourly refresh, no place, and a window of `windowSize` pixels in the
    /// top-right area of the primary screen (of 1024 × 768 at 0, 0 when no screen is known).
    Settings firstRunSettings(QSize windowSize) const;

private:
    SettingsStorage& storage_;
    const ScreenMetrics& screen_;
};

} // namespace brisora
