#pragma once

#include "Place.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

namespace brisora::gateway {

/// A reply that lists a place is always longer than this, since the widget takes a reply
/// of 1000 bytes or fewer for one still arriving.
inline constexpr qsizetype minimumFoundBytes = 1100;

/// The old place-search reply in its exact one-line layout: one `<place>` per entry of
/// `places`, best first, each with `<locality1 type="Town" woeid="ID">Name</locality1>` as
/// the widget cuts it, and after the document the credit the places' source asks for (a
/// comment, which the widget never reads: GeoNames, or OpenStreetMap's contributors).
/// `created` is the reply's creation time (shown in UTC). With no places this is the old
/// service's short no-result reply.
QByteArray renderPlaceSearchDocument(const QList<Place>& places, const QDateTime& created);

} // namespace brisora::gateway
