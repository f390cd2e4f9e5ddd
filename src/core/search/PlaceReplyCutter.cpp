#include "PlaceReplyCutter.h"

#include "app/Utf8Text.h"
#include "app/ValueBetween.h"

#include <cstddef>

namespace brisora {

namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr std::string_view kWoeidStart = "<woeid>";
constexpr std::string_view kWoeidEnd = "</woeid>";
constexpr std::string_view kLocalityStart = "<locality1 type=";
constexpr std::string_view kLocalityEnd = "</locality1>";
// The marker and a four-letter type in quotes with its trailing space: `"Town" `.
constexpr std::size_t kLocalitySkip = 23;
// The slice opens with `woeid="`; the locality's identifier follows, up to the ">".
constexpr std::size_t kIdentifierStart = 7;

} // namespace

PlaceCut cutPlaceReply(std::string_view reply)
{
    PlaceCut out;

    // The first place's own identifier: both markers are searched from the start of the reply.
    const std::size_t idAt = reply.find(kWoeidStart);
    const auto woeid = valueBetween(reply, idAt, reply.find(kWoeidEnd), kWoeidStart.size());
    if (!woeid)
        return out;
    out.woeid = std::string(*woeid);

    // The first locality element after that identifier gives the name.
    const std::size_t localityAt = reply.find(kLocalityStart, idAt + kWoeidStart.size());
    const std::size_t localityEnd =
        localityAt == npos ? npos : reply.find(kLocalityEnd, localityAt);
    const auto slice = valueBetween(reply, localityAt, localityEnd, kLocalitySkip);
    if (!slice)
        return out;

    // The stored name begins with the ">" that closes the locality's start tag.
    const std::size_t close = slice->find('>');
    out.name = displayUtf8(close == npos ? *slice : slice->substr(close));
    // The identifier runs from the slice's eighth character to the quote before the ">". A ">"
    // among the first nine characters leaves it empty (or of negative length): nothing to store.
    // An id of spaces alone would be stored as no place at all.
    out.found = close != npos && close > kIdentifierStart + 1 && !isBlank(*woeid);
    return out;
}

} // namespace brisora
