#include "SettingsCodec.h"

#include "Utf8Text.h"
#include "WholeNumber.h"

#include <array>
#include <variant>

namespace brisora {

namespace {

/// The file's lines in order, each naming the field of the record it holds.
using LineField =
    std::variant<std::int16_t Settings::*, std::int32_t Settings::*, std::string Settings::*>;
constexpr std::array<LineField, 8> kLines{
    &Settings::StartWithWindows, &Settings::StartInTray,  &Settings::RefreshHours,
    &Settings::WindowLeft,       &Settings::WindowTop,    &Settings::LocationWoeid,
    &Settings::UseCelsius,       &Settings::LocationName,
};

/// Stores the decimal integer in `text` into `field` when it fits; otherwise leaves it.
template <typename Int> void readField(std::string_view text, Int& field)
{
    if (const std::optional<Int> value = wholeNumber<Int>(text))
        field = *value;
}

void readField(std::string_view text, std::string& field)
{
    field = displayUtf8(text);
}

template <typename Int> std::string writtenField(Int field)
{
    return std::to_string(field);
}

/// The text on one line: a CR or LF inside it becomes a space.
std::string writtenField(const std::string& field)
{
    std::string out(field);
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
    while (result.linesRead < static_cast<int>(kLines.size()) && !rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimSpaces(line);
        std::visit([&](auto field) { readField(line, s.*field); }, kLines[result.linesRead++]);
    }
    return result;
}

std::string encodeSettings(const Settings& s)
{
    std::string out;
    for (const LineField& field : kLines) {
        out.append(std::visit([&](auto member) { return writtenField(s.*member); }, field));
        out.append("\r\n");
    }
    return out;
}

} // namespace brisora
