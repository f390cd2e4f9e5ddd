#pragma once

#include "GeocodingJsonReader.h"

#include <QByteArrayView>

namespace brisora::gateway {

/// Reads an OpenStreetMap geocoder reply in its "jsonv2" form (an array of places, from a
/// search or a look-up by object id, asked with address details). Each usable entry becomes
/// a place with a fourteen-digit OpenStreetMap id, named after the feature (or, for one
/// without a name such as a postcode, after its postcode), followed by ", " and the first
/// of its address's city, town, village, municipality and county (left out when it is the
/// name itself). Entries without a known object type, an id, a name or a position are
/// skipped. An empty array means nothing was found; malformed JSON, anything but an array,
/// or an error object gives an error text.
GeocodingReadResult readNominatimJson(QByteArrayView json);

} // namespace brisora::gateway
