#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <cstddef>
#include <optional>
#include <string_view>

namespace brisora {

/// The `end - (start + skip)` characters of `text` from `start + skip`. Nothing when either
/// position is npos or the end lies before the value's start, so no read ever leaves `text`.
inline std::optional<std::string_view> valueBetween(std::string_view text, std::size_t start,
                                                    std::size_t end, std::size_t skip)
{
    constexpr std::size_t npos = std::string_view::npos;
    if (start == npos || end == npos || end < start + skip)
        return std::nullopt;
    return text.substr(start + skip, end - start - skip);
}

} // namespace brisora
