#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace brisora {

/// The decimal whole number that all of `text` holds, with an optional leading "+" or "-",
/// when it fits `Int`. Nothing for an empty text, any other character (spaces included) or
/// a value out of range.
template <typename Int> std::optional<Int> wholeNumber(std::string_view text)
{
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1); // from_chars takes no plus sign
    if (text.empty() || (plus && text.front() == '-'))
        return std::nullopt;
    std::int64_t value = 0;
    const char* const last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, value);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(value);
}

} // namespace brisora
