#pragma once

#include "Place.h"

#include <QJsonObject>
#include <optional>

namespace brisora::gateway {

/// The gateway's own on-disk form of a place (not the geocoder's).
QJsonObject placeToJson(const Place& place);

/// Reads what placeToJson wrote; nullopt when the id, name or position is missing or the
/// id is not one of the gateway's.
std::optional<Place> placeFromJson(const QJsonObject& object);

} // namespace brisora::gateway
