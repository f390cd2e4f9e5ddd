#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brisora::gateway {

/// Where the zone files come from.
class ZoneSource
{
public:
    virtual ~ZoneSource() = default;

    /// The bytes of the file of zone `name` ("America/Chicago", already checked to be a zone
    /// name); nullopt when there is none or it cannot be read.
    virtual std::optional<std::string> zoneFile(std::string_view name) const = 0;
};

} // namespace brisora::gateway
