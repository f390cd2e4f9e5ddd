#include "NominatimJsonReader.h"

#include "PlaceId.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace brisora::gateway {
namespace {

constexpr qsizetype maxTextLength = 200;

QString textOf(const QJsonObject& object, QLatin1String key)
{
    return object.value(key).toString().left(maxTextLength).simplified();
}

/// A number the geocoder may write as a JSON number or as a decimal string.
std::optional<double> numberOf(const QJsonObject& object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (value.isDouble())
        return value.toDouble();
    bool isNumber = false;
    const double number = value.toString().left(40).toDouble(&isNumber);
    return isNumber ? std::optional<double>(number) : std::nullopt;
}

std::optional<PlaceId> idOf(const QJsonObject& object)
{
    const QString type = object.value(QLatin1String("osm_type")).toString();
    const PlaceId::Kind kind = type == QLatin1String("node")       ? PlaceId::Kind::OsmNode
                               : type == QLatin1String("way")      ? PlaceId::Kind::OsmWay
                               : type == QLatin1String("relation") ? PlaceId::Kind::OsmRelation
                                                                   : PlaceId::Kind::Geocoder;
    const std::optional<double> osmId = numberOf(object, QLatin1String("osm_id"));
    // Whole numbers only, and small enough to be exact in a double.
    if (!osmId || !(*osmId >= 1 && *osmId < 1e12) || *osmId != std::floor(*osmId))
        return std::nullopt;
    return PlaceId::fromOsm(kind, static_cast<qint64>(*osmId));
}

QString nameOf(const QJsonObject& object, const QJsonObject& address)
{
    QString name = textOf(object, QLatin1String("name"));
    if (name.isEmpty())
        name = textOf(address, QLatin1String("postcode"));
    if (name.isEmpty())
        return {};
    for (const char* key : {"city", "town", "village", "municipality", "county"}) {
        const QString locality = textOf(address, QLatin1String(key));
        if (locality.isEmpty())
            continue;
        if (locality.compare(name, Qt::CaseInsensitive) != 0)
            name += QStringLiteral(", ") + locality;
        break;
    }
    return name;
}

std::optional<Place> placeOf(const QJsonObject& object)
{
    const QJsonObject address = object.value(QLatin1String("address")).toObject();
    const std::optional<PlaceId> id = idOf(object);
    const QString name = nameOf(object, address);
    const std::optional<double> latitude = numberOf(object, QLatin1String("lat"));
    const std::optional<double> longitude = numberOf(object, QLatin1String("lon"));
    if (!id || name.isEmpty() || !latitude || !(std::fabs(*latitude) <= 90) || !longitude ||
        !(std::fabs(*longitude) <= 180))
        return std::nullopt;
    Place place;
    place.placeId = id->toString();
    place.name = name;
    place.admin1 = textOf(address, QLatin1String("state"));
    place.admin2 = textOf(address, QLatin1String("county"));
    place.countryCode = textOf(address, QLatin1String("country_code")).left(2).toUpper();
    place.country = textOf(address, QLatin1String("country"));
    // What the feature counts as in an address ("postcode", "city", "aerodrome"): lower
    // case, so never mistaken for one of the other geocoder's upper-case codes.
    QString kind = textOf(object, QLatin1String("addresstype"));
    if (kind.isEmpty())
        kind = textOf(object, QLatin1String("type"));
    place.featureCode = kind.toLower().left(20);
    place.latitude = *latitude;
    place.longitude = *longitude;
    return place;
}

} // namespace

GeocodingReadResult readNominatimJson(QByteArrayView json)
{
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {std::nullopt, QStringLiteral("malformed JSON: ") + parseError.errorString()};
    if (!document.isArray())
        return {std::nullopt, QStringLiteral("OpenStreetMap geocoder reply is not a JSON array")};
    QList<Place> places;
    for (const QJsonValue& entry : document.array()) {
        if (places.size() >= maxSearchResults)
            break;
        if (std::optional<Place> place = placeOf(entry.toObject()))
            places.append(std::move(*place));
    }
    return {places, {}};
}

} // namespace brisora::gateway
