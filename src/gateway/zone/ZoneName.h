#pragma once

#include <string_view>

namespace brisora::gateway {

/// True when `name` is a zone name the gateway looks up ("America/Argentina/Buenos_Aires",
/// "Asia/Calcutta", "GMT"): parts of letters, digits, '_', '+' and '-' joined by '/', at most
/// 64 characters, under one of the zone database's region folders or one of the single
/// zones the build lists. Never the system's own choices (localtime, posixrules) nor the
/// posix/ and right/ copies, so that every system knows the same names.
bool isZoneName(std::string_view name);

} // namespace brisora::gateway
