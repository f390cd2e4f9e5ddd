#pragma once

#include <cstdint>
#include <string>

namespace brisora::gateway {

/// What a zone's clocks say at some moment: the offset, whether it is daylight time, and the
/// abbreviation ("CDT", "GMT", "+1030").
struct LocalTimeType
{
    std::int32_t utcOffset = 0; // seconds east of UTC
    bool isDaylight = false;
    std::string abbreviation;

    bool operator==(const LocalTimeType&) const = default;
};

} // namespace brisora::gateway
