// libFuzzer target: the gateway's reader of zone files, and the TZ rules of their footers.

#include "fuzz_check.h"

#include "PosixTzRule.h"
#include "TzifParser.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

using namespace brisora::gateway;

namespace {

constexpr std::int64_t moments[] = {std::numeric_limits<std::int64_t>::min(),
                                    -2208988800, // 1900
                                    -1,
                                    0,
                                    1796428800, // 2026-12-08
                                    4102444800, // 2100
                                    std::numeric_limits<std::int64_t>::max()};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const std::optional<ZoneRules> zone = parseTzif(bytes)) {
        for (std::int64_t moment : moments) {
            const LocalTimeType& type = zone->at(moment);
            require(type.utcOffset >= -26 * 3600 && type.utcOffset <= 26 * 3600,
                    "offsets stay within a day and two hours");
            zone->utcOfLocal(moment);
        }
    }

    if (const std::optional<PosixTzRule> rule = PosixTzRule::parse(bytes)) {
        for (std::int64_t moment : moments) {
            const LocalTimeType& type = rule->at(moment);
            require(type.abbreviation.size() >= 3, "names have three characters or more");
            require(type.utcOffset > -26 * 3600 && type.utcOffset < 26 * 3600,
                    "offsets stay within 25 hours");
        }
    }
    return 0;
}
