#pragma once

#include "GatewayReply.h"

#include <QHash>
#include <QString>

namespace brisora::gateway {

/// Finished replies by key, in memory. An entry is fresh until `freshUntilMs` and may still
/// be handed out (while a newer one is fetched) until `usableUntilMs`. Bounded: when full,
/// entries past use are dropped first, and if that is not enough, all of them.
class ReplyCache
{
public:
    struct Entry
    {
        GatewayReply reply;
        qint64 freshUntilMs = 0;  // ms since the epoch
        qint64 usableUntilMs = 0; // >= freshUntilMs
    };

    explicit ReplyCache(qsizetype capacity = 20'000);

    /// The entry for `key` if it is still usable at `nowMs`, else nullptr. The pointer is
    /// valid until the next put.
    const Entry* find(const QString& key, qint64 nowMs) const;
    void put(const QString& key, Entry entry, qint64 nowMs);
    qsizetype size() const { return m_entries.size(); }

private:
    qsizetype m_capacity;
    QHash<QString, Entry> m_entries;
};

} // namespace brisora::gateway
