#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace brisora::gateway {

/// The place's zone: the system zone database's entry for `ianaId` when it has one,
/// otherwise a fixed offset of `fallbackOffsetSeconds` (plain UTC when that is 0).
QTimeZone placeZone(const QString& ianaId, int fallbackOffsetSeconds);

/// "Tue, 08 Dec 2026 3:53 pm CST": `moment` shown in `zone`, English names, hour without a
/// leading zero, lower-case am/pm, the zone's abbreviation for that moment. Empty when
/// `moment` is invalid; the same holds for the helpers below.
QString formatFeedDate(const QDateTime& moment, const QTimeZone& zone);

/// "7:36 am": the wall-clock time of `moment` in `zone`.
QString formatClockTime(const QDateTime& moment, const QTimeZone& zone);

/// "8 Dec 2026": day without a leading zero.
QString formatShortDate(QDate date);

/// "Tue".
QString shortDayName(QDate date);

/// Reads the source's wall-clock text "2026-12-08T15:45" (seconds optional), written with
/// the one fixed offset `utcOffsetSeconds` whatever the zone's rules say for that moment,
/// as the moment it names, in UTC. Returns an invalid QDateTime for anything else.
QDateTime parseOffsetDateTime(const QString& text, int utcOffsetSeconds);

} // namespace brisora::gateway
