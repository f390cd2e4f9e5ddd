#include "PlaceJson.h"

#include "PlaceId.h"

#include <cmath>

namespace brisora::gateway {

QJsonObject placeToJson(const Place& place)
{
    QJsonObject object{
        {QStringLiteral("id"), place.placeId},
        {QStringLiteral("name"), place.name},
        {QStringLiteral("admin1"), place.admin1},
        {QStringLiteral("admin2"), place.admin2},
        {QStringLiteral("countryCode"), place.countryCode},
        {QStringLiteral("country"), place.country},
        {QStringLiteral("timeZone"), place.timeZone},
        {QStringLiteral("featureCode"), place.featureCode},
        {QStringLiteral("countryId"), place.countryGeocoderId},
        {QStringLiteral("admin1Id"), place.admin1GeocoderId},
        {QStringLiteral("admin2Id"), place.admin2GeocoderId},
        {QStringLiteral("latitude"), place.latitude},
        {QStringLiteral("longitude"), place.longitude},
        {QStringLiteral("population"), place.population},
    };
    if (place.elevation)
        object.insert(QStringLiteral("elevation"), *place.elevation);
    return object;
}

std::optional<Place> placeFromJson(const QJsonObject& object)
{
    Place place;
    place.placeId = object.value(QLatin1String("id")).toString();
    place.name = object.value(QLatin1String("name")).toString();
    const QJsonValue latitude = object.value(QLatin1String("latitude"));
    const QJsonValue longitude = object.value(QLatin1String("longitude"));
    if (!PlaceId::parse(place.placeId.toStdString()) || place.name.isEmpty() ||
        !latitude.isDouble() || !longitude.isDouble() || !(std::fabs(latitude.toDouble()) <= 90) ||
        !(std::fabs(longitude.toDouble()) <= 180))
        return std::nullopt;
    place.admin1 = object.value(QLatin1String("admin1")).toString();
    place.admin2 = object.value(QLatin1String("admin2")).toString();
    place.countryCode = object.value(QLatin1String("countryCode")).toString();
    place.country = object.value(QLatin1String("country")).toString();
    place.timeZone = object.value(QLatin1String("timeZone")).toString();
    place.featureCode = object.value(QLatin1String("featureCode")).toString();
    place.countryGeocoderId = object.value(QLatin1String("countryId")).toInteger();
    place.admin1GeocoderId = object.value(QLatin1String("admin1Id")).toInteger();
    place.admin2GeocoderId = object.value(QLatin1String("admin2Id")).toInteger();
    place.latitude = latitude.toDouble();
    place.longitude = longitude.toDouble();
    place.population = object.value(QLatin1String("population")).toInteger();
    if (const QJsonValue elevation = object.value(QLatin1String("elevation")); elevation.isDouble())
        place.elevation = elevation.toDouble();
    return place;
}

} // namespace brisora::gateway
