// libFuzzer target: the gateway's request-head parser and router on any bytes.

#include "fuzz_check.h"

#include "GatewayRequest.h"
#include "HttpRequestHead.h"
#include "PlaceId.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brisora::gateway;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view buffer(reinterpret_cast<const char*>(data), size);
    const HeadParseResult parsed = parseRequestHead(buffer);

    switch (parsed.state) {
    case HeadParseResult::State::NeedMore:
        require(size <= 8192, "an unfinished head is cut off at 8 KiB");
        break;
    case HeadParseResult::State::Invalid:
        require(parsed.status == 400 || parsed.status == 431 || parsed.status == 505,
                "invalid heads get 400, 431 or 505");
        break;
    case HeadParseResult::State::Complete: {
        require(parsed.headLength <= size && parsed.headLength <= 8192, "head within bounds");
        require(!parsed.head.target.empty() && parsed.head.target.front() == '/',
                "target is an absolute path");
        // The same head, with nothing after it, reads the same.
        const HeadParseResult alone = parseRequestHead(buffer.substr(0, parsed.headLength));
        require(alone.state == HeadParseResult::State::Complete &&
                    alone.headLength == parsed.headLength &&
                    alone.head.target == parsed.head.target,
                "a complete head does not depend on what follows");

        const GatewayRequest request = routeRequest(parsed.head);
        if (const auto* feed = std::get_if<FeedRequest>(&request)) {
            require(PlaceId::isNumeric(
                        std::string_view(feed->placeIdText.constData(),
                                         static_cast<std::size_t>(feed->placeIdText.size()))),
                    "feed ids are digits");
        } else if (const auto* search = std::get_if<PlaceSearchRequest>(&request)) {
            require(search->words.size() <= maxSearchWords, "search words are bounded");
            require(search->words == search->words.simplified(), "search words are folded");
        } else {
            const int status = std::get<RejectedRequest>(request).status;
            require(status == 400 || status == 404 || status == 405, "rejections are 4xx");
        }
        break;
    }
    }
    return 0;
}
