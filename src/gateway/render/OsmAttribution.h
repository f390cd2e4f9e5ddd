#pragma once

#include "Place.h"

#include <QList>

namespace brisora::gateway {

/// OpenStreetMap's data is under the Open Database License: wherever one of its places is
/// shown, its contributors are named.
inline constexpr char openStreetMapCredit[] =
    "Place data \u00a9 OpenStreetMap contributors (ODbL), https://www.openstreetmap.org/copyright";

/// True when `place` came from OpenStreetMap (its id is one of the fourteen-digit ones).
bool isOpenStreetMapPlace(const Place& place);

/// True when any of `places` came from OpenStreetMap.
bool anyOpenStreetMapPlace(const QList<Place>& places);

} // namespace brisora::gateway
