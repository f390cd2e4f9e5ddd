#include "OsmAttribution.h"

#include "PlaceId.h"

#include <algorithm>

namespace brisora::gateway {

bool isOpenStreetMapPlace(const Place& place)
{
    const std::optional<PlaceId> id = PlaceId::parse(place.placeId.toStdString());
    return id && id->isOsm();
}

bool anyOpenStreetMapPlace(const QList<Place>& places)
{
    return std::any_of(places.cbegin(), places.cend(), isOpenStreetMapPlace);
}

} // namespace brisora::gateway
