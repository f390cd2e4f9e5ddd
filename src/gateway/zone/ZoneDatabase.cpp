#include "ZoneDatabase.h"

#include "TzifParser.h"
#include "ZoneName.h"

namespace brisora::gateway {
namespace {

// Well above the number of zone names there are.
constexpr std::size_t keptNames = 2000;

} // namespace

ZoneDatabase::ZoneDatabase(std::unique_ptr<ZoneSource> source, GatewayLog log)
    : m_source(std::move(source)), m_log(std::move(log))
{
}

std::shared_ptr<const ZoneRules> ZoneDatabase::find(std::string_view name) const
{
    if (!isZoneName(name))
        return nullptr;
    const std::lock_guard lock(m_mutex);
    if (const auto kept = m_zones.find(name); kept != m_zones.end())
        return kept->second;

    std::shared_ptr<const ZoneRules> zone;
    const std::optional<std::string> file = m_source->zoneFile(name);
    if (std::optional<ZoneRules> rules = file ? parseTzif(*file) : std::nullopt)
        zone = std::make_shared<const ZoneRules>(std::move(*rules));
    if (!zone && m_zones.size() >= keptNames)
        return nullptr; // made-up names: neither kept nor logged
    m_zones.emplace(std::string(name), zone);
    if (!zone) {
        const QLatin1String shown(name.data(), qsizetype(name.size()));
        m_log.write(file ? QStringLiteral("time zone %1: its zone file is unreadable").arg(shown)
                         : QStringLiteral("time zone %1: no such zone file").arg(shown));
    }
    return zone;
}

} // namespace brisora::gateway
