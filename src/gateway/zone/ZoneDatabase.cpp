#include "ZoneDatabase.h"

#include "TzifParser.h"
#include "ZoneName.h"

namespace brisora::gateway {
namespace {

// Well above the number of zone names there are, so only made-up names are not kept.
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
    if (zone || m_zones.size() < keptNames) {
        m_zones.emplace(std::string(name), zone);
        if (!zone)
            m_log.write(QStringLiteral("time zone %1 %2; its times are shown at a fixed offset")
                            .arg(QLatin1String(name.data(), qsizetype(name.size())),
                                 file ? QStringLiteral("has an unreadable zone file")
                                      : QStringLiteral("is unknown")));
    }
    return zone;
}

} // namespace brisora::gateway
