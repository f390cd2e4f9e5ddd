#pragma once

#include "ZoneRules.h"

#include <optional>
#include <string_view>

namespace brisora::gateway {

/// The zone a zone file states (TZif, versions 1 to 4): from a version 1 file its 32-bit
/// data, from a later one its 64-bit data and its footer's rule. Leap-second records are
/// passed over: the zones read here count none. Nullopt for anything not wholly such a file:
/// short or cut off, counts that do not fit the data, a type, abbreviation or offset out of
/// range, changes out of order, or a footer that is not a rule.
std::optional<ZoneRules> parseTzif(std::string_view bytes);

} // namespace brisora::gateway
