#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <optional>
#include <string>
#include <string_view>

namespace brisora {

/// What one place-search reply yields.
struct PlaceCut
{
    /// The first "<woeid>…</woeid>" of the reply, raw bytes; empty optional when those markers
    /// are missing or out of order (then the pending place id is left alone).
    std::optional<std::string> woeid;
    /// The name to store and show: the locality slice from its ">" on (so it begins with ">"),
    /// UTF-8 for the screen; the whole slice when it holds no ">". Empty optional when the
    /// locality markers (or the woeid markers before them) are missing or out of order.
    std::optional<std::string> name;
    /// True when the locality element carries an identifier and the place id is not blank:
    /// the place can be stored. Implies `woeid` and `name`.
    bool found = false;
};

/// Cuts one raw place-search reply: the first "<woeid>", then the first
/// "<locality1 type=" after it, skipping 23 characters to its identifier and name.
/// Missing or out-of-order markers, or a ">" among the slice's first eight characters,
/// give found == false. Never reads outside `reply`.
PlaceCut cutPlaceReply(std::string_view reply);

} // namespace brisora
