// libFuzzer target: the settings-file reader on any bytes.

#include "fuzz_check.h"

#include "app/SettingsCodec.h"
#include "app/Utf8Text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brisora;

namespace {

bool sameNumbers(const Settings& a, const Settings& b)
{
    return a.StartWithWindows == b.StartWithWindows && a.StartInTray == b.StartInTray &&
           a.RefreshHours == b.RefreshHours && a.WindowLeft == b.WindowLeft &&
           a.WindowTop == b.WindowTop && a.UseCelsius == b.UseCelsius;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const DecodedSettings read = decodeSettings(file, firstRunSettings());
    require(read.linesRead >= 0 && read.linesRead <= 8, "at most eight lines read");
    require(isValidUtf8(read.settings.LocationWoeid) && isValidUtf8(read.settings.LocationName),
            "text fields are UTF-8");

    // What is written reads back with the same numbers, and after one write the file is stable.
    const std::string written = encodeSettings(read.settings);
    const DecodedSettings reread = decodeSettings(written, Settings{});
    require(reread.linesRead == 8, "a written file has eight lines");
    require(sameNumbers(reread.settings, read.settings), "numbers survive a write");
    const std::string rewritten = encodeSettings(reread.settings);
    require(encodeSettings(decodeSettings(rewritten, Settings{}).settings) == rewritten,
            "a rewritten file reads back unchanged");
    return 0;
}
