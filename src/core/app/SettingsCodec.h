#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include "Settings.h"

#include <string>
#include <string_view>

namespace brisora {

/// The outcome of reading a settings file.
struct DecodedSettings
{
    Settings settings;
    int linesRead =
        0; ///< 0 to 8: lines present in the file (line 6 seeds the fetch's place, line 7 its units)
};

/// Reads the 8-line settings file format into a copy of `start`.
/// Lines end in CR LF (a bare LF is accepted too); each is trimmed of spaces (not tabs).
/// A file that ends early leaves the remaining fields as in `start`. A numeric line that is
/// empty, not a decimal integer or outside its field's range also keeps the `start` value;
/// the other lines still load. A text line that is not valid UTF-8 is read as Windows-1252.
/// Lines after the eighth are ignored.
DecodedSettings decodeSettings(std::string_view file, const Settings& start);

/// Writes `settings` as exactly 8 lines, each ending in CR LF, as UTF-8 without a byte-order
/// mark. Numbers are plain decimals; a CR or LF inside a text field is written as a space so
/// that the file always keeps its 8 lines.
std::string encodeSettings(const Settings& settings);

} // namespace brisora
