#pragma once

#include "LocalTimeType.h"
#include "PosixTzRule.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace brisora::gateway {

/// One zone's clocks through time: the changes a zone file lists, the types they change to,
/// and the rule for the times after the last of them.
class ZoneRules
{
public:
    struct Change
    {
        std::int64_t at = 0; // UTC seconds
        std::size_t type = 0;
    };

    /// `types` is not empty, `changes` are in strictly ascending order and each names one of
    /// `types`. `future` rules the times after the last change (all times when there is none).
    ZoneRules(std::vector<Change> changes, std::vector<LocalTimeType> types,
              std::optional<PosixTzRule> future);

    /// A zone that keeps one type for ever.
    static ZoneRules fixed(LocalTimeType type);

    /// The type in force at `utcSeconds`; before the first change, the first type.
    const LocalTimeType& at(std::int64_t utcSeconds) const;

    /// The moment at which the clocks show `localSeconds` (seconds since 1970-01-01 00:00 on
    /// the zone's clocks). A time shown twice gives the earlier moment; a time skipped by a
    /// change forward gives the moment it would be at the offset before the change, which for
    /// a skipped midnight is the change itself, so the first moment of a day is always its
    /// midnight's. For zones whose changes are more than two days apart, as every real one's.
    std::int64_t utcOfLocal(std::int64_t localSeconds) const;

private:
    std::vector<Change> m_changes;
    std::vector<LocalTimeType> m_types;
    std::optional<PosixTzRule> m_future;
};

} // namespace brisora::gateway
