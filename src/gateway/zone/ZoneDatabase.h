#pragma once

#include "GatewayLog.h"
#include "ZoneRules.h"
#include "ZoneSource.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace brisora::gateway {

/// The zones by their IANA names, each read from `source` the first time it is asked for
/// and kept. A name with no file, or a file that is not a zone file, is logged once.
class ZoneDatabase
{
public:
    explicit ZoneDatabase(std::unique_ptr<ZoneSource> source, GatewayLog log = {});

    /// The zone `name`, or null when `name` is not a zone name (see isZoneName), or no zone
    /// of that name can be read.
    std::shared_ptr<const ZoneRules> find(std::string_view name) const;

private:
    std::unique_ptr<ZoneSource> m_source;
    GatewayLog m_log;
    mutable std::mutex m_mutex;
    // Misses too, so that a name asked for on every request is looked for once.
    mutable std::map<std::string, std::shared_ptr<const ZoneRules>, std::less<>> m_zones;
};

} // namespace brisora::gateway
