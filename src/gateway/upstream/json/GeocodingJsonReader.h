#pragma once

#include "Place.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// Result of reading a geocoder reply: the places found (possibly none), or why the reply
/// could not be read.
struct GeocodingReadResult
{
    std::optional<QList<Place>> places;
    QString error; // set when `places` is empty
};

/// Most places a search reply lists.
inline constexpr int maxSearchResults = 10;

/// Reads a geocoder search reply. A reply without a `results` key means nothing was found
/// (an empty list, not an error). Entries without a usable id, name or position are skipped;
/// at most `maxSearchResults` are kept, best first. Malformed JSON, a reply that is not an
/// object, or one that flags an error gives an error text.
GeocodingReadResult readGeocodingSearchJson(QByteArrayView json);

/// Reads a geocoder reply for one place by id (a single result object). An unusable object
/// gives an empty list; malformed JSON an error text.
GeocodingReadResult readGeocodedPlaceJson(QByteArrayView json);

} // namespace brisora::gateway
