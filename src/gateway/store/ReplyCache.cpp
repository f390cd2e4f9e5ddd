#include "ReplyCache.h"

namespace brisora::gateway {

ReplyCache::ReplyCache(qsizetype capacity) : m_capacity(capacity) {}

const ReplyCache::Entry* ReplyCache::find(const QString& key, qint64 nowMs) const
{
    const auto found = m_entries.constFind(key);
    if (found == m_entries.cend() || nowMs >= found->usableUntilMs)
        return nullptr;
    return &*found;
}

void ReplyCache::put(const QString& key, Entry entry, qint64 nowMs)
{
    if (m_entries.size() >= m_capacity && !m_entries.contains(key)) {
        m_entries.removeIf(
            [nowMs](const auto& item) { return nowMs >= item.value().usableUntilMs; });
        if (m_entries.size() >= m_capacity)
            m_entries.clear();
    }
    m_entries.insert(key, std::move(entry));
}

} // namespace brisora::gateway
