#include "ZoneRules.h"

#include <algorithm>

namespace brisora::gateway {

ZoneRules::ZoneRules(std::vector<Change> changes, std::vector<LocalTimeType> types,
                     std::optional<PosixTzRule> future)
    : m_changes(std::move(changes)), m_types(std::move(types)), m_future(std::move(future))
{
}

ZoneRules ZoneRules::fixed(LocalTimeType type)
{
    return ZoneRules({}, {std::move(type)}, std::nullopt);
}

const LocalTimeType& ZoneRules::at(std::int64_t utcSeconds) const
{
    if (m_future && (m_changes.empty() || utcSeconds > m_changes.back().at))
        return m_future->at(utcSeconds);
    const auto after = std::upper_bound(
        m_changes.begin(), m_changes.end(), utcSeconds,
        [](std::int64_t moment, const Change& change) { return moment < change.at; });
    if (after == m_changes.begin())
        return m_types.front();
    return m_types[std::prev(after)->type];
}

std::int64_t ZoneRules::utcOfLocal(std::int64_t localSeconds) const
{
    // Far beyond any calendar the gateway shows, and out of reach of overflow.
    constexpr std::int64_t limit = std::int64_t{1} << 60;
    if (localSeconds < -limit || localSeconds > limit)
        return localSeconds;
    constexpr std::int64_t day = 86400;
    const std::int64_t before = localSeconds - at(localSeconds - day).utcOffset;
    const std::int64_t after = localSeconds - at(localSeconds + day).utcOffset;
    const auto shows = [this, localSeconds](std::int64_t moment) {
        return moment + at(moment).utcOffset == localSeconds;
    };
    if (shows(before) && shows(after))
        return std::min(before, after);
    if (shows(after))
        return after;
    return before;
}

} // namespace brisora::gateway
