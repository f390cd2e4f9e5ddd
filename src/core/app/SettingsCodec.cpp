#include "SettingsCodec.h"

#include "Utf8Text.h"
#include "WholeNumber.h"

namespace brisora {

namespace {

/// Stores the decimal integer in `text` into `field` when it fits; otherwise leaves it.
template <typename Int> void readNumber(std::string_view text, Int& field)
{
    if (const std::optional<Int> value = wholeNumber<Int>(text))
        field = *value;
}

std::string oneLine(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

DecodedSettings decodeSettings(std::string_view file, const Settings& start)
{
    DecodedSettings result{start, 0};
    Settings& s = result.settings;
    std::string_view rest = file;
    while (result.linesRead < 8 && !rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimSpaces(line);
        switch (++result.linesRead) {
        case 1:
            readNumber(line, s.StartWithWindows);
            break;
        case 2:
            readNumber(line, s.StartInTray);
            break;
        case 3:
            readNumber(line, s.RefreshHours);
            break;
        case 4:
            readNumber(line, s.WindowLeft);
            break;
        case 5:
            readNumber(line, s.WindowTop);
            break;
        case 6:
            s.LocationWoeid = displayUtf8(line);
            break;
        case 7:
            readNumber(line, s.UseCelsius);
            break;
        case 8:
            s.LocationName = displayUtf8(line);
            break;
        }
    }
    return result;
}

std::string encodeSettings(const Settings& s)
{
    std::string out;
    const auto line = [&out](std::string_view text) {
        out.append(text);
        out.append("\r\n");
    };
    line(std::to_string(s.StartWithWindows));
    line(std::to_string(s.StartInTray));
    line(std::to_string(s.RefreshHours));
    line(std::to_string(s.WindowLeft));
    line(std::to_string(s.WindowTop));
    line(oneLine(s.LocationWoeid));
    line(std::to_string(s.UseCelsius));
    line(oneLine(s.LocationName));
    return out;
}

} // namespace brisora
