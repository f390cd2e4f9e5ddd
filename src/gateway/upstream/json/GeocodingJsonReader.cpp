#include "GeocodingJsonReader.h"

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
    return object.value(key).toString().left(maxTextLength);
}

qint64 idOf(const QJsonObject& object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (!(number >= 1 && number < 1e9) || number != std::floor(number))
        return 0;
    return static_cast<qint64>(number);
}

std::optional<double> coordinateOf(const QJsonObject& object, QLatin1String key, double limit)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || !(std::fabs(value.toDouble()) <= limit))
        return std::nullopt;
    return value.toDouble();
}

std::optional<Place> placeOf(const QJsonObject& object)
{
    const std::optional<PlaceId> id = PlaceId::fromGeocoderId(idOf(object, QLatin1String("id")));
    const QString name = textOf(object, QLatin1String("name")).simplified();
    const std::optional<double> latitude = coordinateOf(object, QLatin1String("latitude"), 90);
    const std::optional<double> longitude = coordinateOf(object, QLatin1String("longitude"), 180);
    if (!id || name.isEmpty() || !latitude || !longitude)
        return std::nullopt;
    Place place;
    place.placeId = id->toString();
    place.name = name;
    place.admin1 = textOf(object, QLatin1String("admin1")).simplified();
    place.admin2 = textOf(object, QLatin1String("admin2")).simplified();
    place.countryCode = textOf(object, QLatin1String("country_code")).left(2).toUpper();
    place.country = textOf(object, QLatin1String("country")).simplified();
    place.timeZone = textOf(object, QLatin1String("timezone"));
    place.featureCode = textOf(object, QLatin1String("feature_code")).left(10);
    place.countryGeocoderId = idOf(object, QLatin1String("country_id"));
    place.admin1GeocoderId = idOf(object, QLatin1String("admin1_id"));
    place.admin2GeocoderId = idOf(object, QLatin1String("admin2_id"));
    place.latitude = *latitude;
    place.longitude = *longitude;
    const QJsonValue population = object.value(QLatin1String("population"));
    if (population.isDouble() && population.toDouble() >= 0 && population.toDouble() < 1e11)
        place.population = static_cast<qint64>(population.toDouble());
    // From the Dead Sea shore to the highest town; anything else is no elevation.
    const QJsonValue elevation = object.value(QLatin1String("elevation"));
    if (elevation.isDouble() && elevation.toDouble() >= -500 && elevation.toDouble() <= 9000)
        place.elevation = elevation.toDouble();
    return place;
}

std::optional<QJsonObject> rootObject(QByteArrayView json, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("malformed JSON: ") + parseError.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("geocoder reply is not a JSON object");
        return std::nullopt;
    }
    if (document.object().value(QLatin1String("error")).toBool()) {
        error =
            QStringLiteral("geocoder error: ") + textOf(document.object(), QLatin1String("reason"));
        return std::nullopt;
    }
    return document.object();
}

QList<Place> searchResultsIn(const QJsonObject& root)
{
    QList<Place> places;
    const QJsonArray results = root.value(QLatin1String("results")).toArray();
    for (const QJsonValue& entry : results) {
        if (places.size() >= maxSearchResults)
            break;
        if (std::optional<Place> place = placeOf(entry.toObject()))
            places.append(std::move(*place));
    }
    return places;
}

QList<Place> placeIn(const QJsonObject& root)
{
    QList<Place> places;
    if (std::optional<Place> place = placeOf(root))
        places.append(std::move(*place));
    return places;
}

/// The places `placesIn` finds in the reply's root object, or why the reply cannot be read.
GeocodingReadResult readReply(QByteArrayView json, QList<Place> (*placesIn)(const QJsonObject&))
{
    QString error;
    const std::optional<QJsonObject> root = rootObject(json, error);
    if (!root)
        return GeocodingReadResult{std::nullopt, error};
    return GeocodingReadResult{placesIn(*root), {}};
}

} // namespace

GeocodingReadResult readGeocodingSearchJson(QByteArrayView json)
{
    return readReply(json, &searchResultsIn);
}

GeocodingReadResult readGeocodedPlaceJson(QByteArrayView json)
{
    return readReply(json, &placeIn);
}

} // namespace brisora::gateway
