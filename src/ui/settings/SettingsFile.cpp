#include "SettingsFile.h"

#include "ScreenMetrics.h"
#include "SettingsStorage.h"
#include "window/WindowPlacement.h"

namespace brisora {

namespace {
constexpr int kFirstRunMarginPixels = 24;
}

SettingsFile::SettingsFile(SettingsStorage& storage, const ScreenMetrics& screen)
    : storage_(storage), screen_(screen)
{
}

std::optional<DecodedSettings> SettingsFile::read() const
{
    const std::optional<QByteArray> file = storage_.read(storage_.settingsPath());
    if (!file)
        return std::nullopt;
    return decodeSettings(file->toStdString(), Settings{});
}

void SettingsFile::write(const Settings& settings) const
{
    const QByteArray bytes = QByteArray::fromStdString(encodeSettings(settings));
    storage_.writeAtomically(storage_.settingsPath(), bytes);
}

Settings SettingsFile::firstRunSettings(QSize windowSize) const
{
    // Where it is sure to be seen.
    Settings settings = brisora::firstRunSettings();
    const QList<QRect> areas = screen_.screenAreas();
    const QRect primary = areas.isEmpty() ? QRect(0, 0, 1024, 768) : areas.first();
    const int left = primary.right() + 1 - windowSize.width() - kFirstRunMarginPixels;
    const int top = primary.top() + kFirstRunMarginPixels;
    settings.WindowLeft = WindowPlacement::roundTwips(left * screen_.twipsPerPixelX());
    settings.WindowTop = WindowPlacement::roundTwips(top * screen_.twipsPerPixelY());
    return settings;
}

} // namespace brisora
