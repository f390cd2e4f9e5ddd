#pragma once

#include "ZoneDatabase.h"
#include "ZoneRules.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <memory>

namespace brisora::gateway {

/// The place's zone: `zones`' zone `ianaId` when it has one, otherwise a fixed offset of
/// `fallbackOffsetSeconds` named "UTC-06" or "UTC+05:30" (plain UTC when that is 0 or more
/// than 14 hours).
std::shared_ptr<const ZoneRules> placeZone(const ZoneDatabase& zones, const QString& ianaId,
                                           int fallbackOffsetSeconds);

/// The date and time `zone`'s clocks show at `moment`, as a QDateTime in UTC. Invalid or
/// empty when `moment` is invalid; the same holds for the helpers below.
QDateTime wallClock(const QDateTime& moment, const ZoneRules& zone);

/// The moment at which `zone`'s clocks show `date` at `time` (the earlier of two, and for a
/// time skipped by a change forward, the one it would be without the change).
QDateTime momentOf(QDate date, QTime time, const ZoneRules& zone);

/// "CST": `zone`'s abbreviation at `moment`.
QString zoneAbbreviation(const QDateTime& moment, const ZoneRules& zone);

/// "Tue, 08 Dec 2026 3:53 pm CST": `moment` shown in `zone`, English names, hour without a
/// leading zero, lower-case am/pm, the zone's abbreviation for that moment.
QString formatFeedDate(const QDateTime& moment, const ZoneRules& zone);

/// "7:36 am": the wall-clock time of `moment` in `zone`.
QString formatClockTime(const QDateTime& moment, const ZoneRules& zone);

/// "8 Dec 2026": day without a leading zero.
QString formatShortDate(QDate date);

/// "Tue".
QString shortDayName(QDate date);

/// Reads the source's wall-clock text "2026-12-08T15:45" (seconds optional), written with
/// the one fixed offset `utcOffsetSeconds` whatever the zone's rules say for that moment,
/// as the moment it names, in UTC. Returns an invalid QDateTime for anything else.
QDateTime parseOffsetDateTime(const QString& text, int utcOffsetSeconds);

} // namespace brisora::gateway
