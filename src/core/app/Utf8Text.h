#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <cstddef>
#include <string>
#include <string_view>

namespace brisora {

/// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

/// Text to show on screen: `bytes` unchanged when they are valid UTF-8, otherwise each
/// byte read as a Windows-1252 character (its five undefined bytes as U+FFFD) and
/// re-encoded as UTF-8. Never fails.
std::string displayUtf8(std::string_view bytes);

/// The longest prefix of valid UTF-8 `text` that holds at most `maxChars` code points.
std::string_view firstCodePoints(std::string_view text, std::size_t maxChars);

/// `s` without the spaces (code 32 only) at either end; tabs, CR and LF stay.
std::string_view trimSpaces(std::string_view s);

/// True when `s` holds nothing but spaces (code 32 only), or nothing at all.
bool isBlank(std::string_view s);

} // namespace brisora
