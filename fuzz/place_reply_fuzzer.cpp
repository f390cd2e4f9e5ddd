// libFuzzer target: the place-search reply cutter on any bytes.

#include "fuzz_check.h"

#include "app/Utf8Text.h"
#include "search/PlaceReplyCutter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brisora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const PlaceCut cut = cutPlaceReply(reply);

    if (cut.woeid)
        require(reply.find("<woeid>" + *cut.woeid + "</woeid>") != std::string_view::npos,
                "the woeid stands between its markers");
    if (cut.name) {
        require(cut.woeid.has_value(), "a name only after a woeid");
        require(isValidUtf8(*cut.name), "the name is UTF-8");
    }
    if (cut.found) {
        require(cut.name.has_value() && cut.name->size() > 0 && cut.name->front() == '>',
                "a found name begins with its \">\"");
    }
    return 0;
}
