#include "PlaceSearchDocument.h"

#include "OsmAttribution.h"
#include "PlaceId.h"
#include "TrimmedDecimal.h"
#include "XmlEscape.h"
#include "XmlPadding.h"

#include <algorithm>
#include <cmath>

namespace brisora::gateway {
namespace {

struct PlaceType
{
    int code;
    QLatin1String name;
};

PlaceType placeTypeOf(const QString& featureCode)
{
    if (featureCode == QLatin1String("ADM1"))
        return {8, QLatin1String("State")};
    if (featureCode == QLatin1String("ADM2"))
        return {9, QLatin1String("County")};
    if (featureCode.startsWith(QLatin1String("ADM")))
        return {10, QLatin1String("Local Admin")};
    if (featureCode.startsWith(QLatin1String("PCL")))
        return {12, QLatin1String("Country")};
    if (featureCode.startsWith(QLatin1String("ISL")))
        return {13, QLatin1String("Island")};
    if (featureCode == QLatin1String("AIRP") || featureCode == QLatin1String("aerodrome"))
        return {14, QLatin1String("Airport")};
    if (featureCode == QLatin1String("postcode"))
        return {11, QLatin1String("Postal Code")};
    if (featureCode == QLatin1String("PPLX"))
        return {22, QLatin1String("Suburb")};
    return {7, QLatin1String("Town")};
}

QString idText(qint64 geocoderId)
{
    const std::optional<PlaceId> id = PlaceId::fromGeocoderId(geocoderId);
    return id ? id->toString() : QString();
}

QString coordinate(double value)
{
    return trimmedDecimal(QString::number(value, 'f', 5));
}

QString pointElement(const QString& tag, double latitude, double longitude)
{
    return QStringLiteral("<%1><latitude>%2</latitude><longitude>%3</longitude></%1>")
        .arg(tag, coordinate(latitude), coordinate(longitude));
}

/// An admin element with its name, or the empty element the old service wrote for none.
QString adminElement(const QString& tag, const QString& code, const QString& type,
                     qint64 geocoderId, const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("<%1/>").arg(tag);
    return QStringLiteral("<%1 code=\"%2\" type=\"%3\" woeid=\"%4\">%5</%1>")
        .arg(tag, escapeXml(code), type, idText(geocoderId), escapeXml(name));
}

int popRank(qint64 population)
{
    if (population <= 0)
        return 0;
    return std::min(15, static_cast<int>(std::log10(static_cast<double>(population))) + 1);
}

QString placeElement(const Place& place)
{
    const PlaceType type = placeTypeOf(place.featureCode);
    const QString id = escapeXml(place.placeId);
    const QString name = escapeXml(place.name);
    // A box of about five kilometres around the centre; the geocoder gives no extent.
    const double half = 0.025;
    QString text =
        QStringLiteral(
            "<place xml:lang=\"en-US\" xmlns=\"http://where.yahooapis.com/v1/schema.rng\" "
            "xmlns:yahoo=\"http://www.yahooapis.com/v1/base.rng\" "
            "yahoo:uri=\"/v1/place/%1\"><woeid>%1</woeid>"
            "<placeTypeName code=\"%2\">%3</placeTypeName><name>%4</name>")
            .arg(id, QString::number(type.code), type.name, name);
    text += adminElement(QStringLiteral("country"), place.countryCode, QStringLiteral("Country"),
                         place.countryGeocoderId, place.country);
    text += adminElement(QStringLiteral("admin1"), QString(), QStringLiteral("State"),
                         place.admin1GeocoderId, place.admin1);
    text += adminElement(QStringLiteral("admin2"), QString(), QStringLiteral("County"),
                         place.admin2GeocoderId, place.admin2);
    text += QStringLiteral("<admin3/><locality1 type=\"Town\" woeid=\"%1\">%2</locality1>"
                           "<locality2/><postal/>")
                .arg(id, name);
    text += QStringLiteral("<centroid><latitude>%1</latitude><longitude>%2</longitude></centroid>")
                .arg(coordinate(place.latitude), coordinate(place.longitude));
    text += QStringLiteral("<boundingBox>%1%2</boundingBox>")
                .arg(pointElement(QStringLiteral("southWest"), place.latitude - half,
                                  place.longitude - half),
                     pointElement(QStringLiteral("northEast"), place.latitude + half,
                                  place.longitude + half));
    text += QStringLiteral("<areaRank>%1</areaRank><popRank>%2</popRank>")
                .arg(QString::number(type.code == 7 ? 2 : 5),
                     QString::number(popRank(place.population)));
    text += place.timeZone.isEmpty()
                ? QStringLiteral("<timezone/>")
                : QStringLiteral("<timezone type=\"Time Zone\" woeid=\"\">%1</timezone>")
                      .arg(escapeXml(place.timeZone));
    text += QStringLiteral("</place>");
    return text;
}

/// The credit that the places' data asks for, as comments after the document.
QString creditComments(const QList<Place>& places)
{
    const bool fromGeocoder = std::any_of(places.cbegin(), places.cend(), [](const Place& place) {
        const std::optional<PlaceId> id = PlaceId::parse(place.placeId.toStdString());
        return id && id->kind() == PlaceId::Kind::Geocoder;
    });
    QString comments =
        fromGeocoder ? QStringLiteral("<!-- Location data based on GeoNames -->") : QString();
    if (anyOpenStreetMapPlace(places))
        comments += QStringLiteral("<!-- %1 -->").arg(QString::fromUtf8(openStreetMapCredit));
    return comments;
}

} // namespace

QByteArray renderPlaceSearchDocument(const QList<Place>& places, const QDateTime& created)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<query xmlns:yahoo=\"http://www.yahooapis.com/v1/base.rng\" "
                                  "yahoo:count=\"%1\" yahoo:created=\"%2\" yahoo:lang=\"en-US\">")
                       .arg(QString::number(places.size()),
                            created.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));
    if (places.isEmpty()) {
        text += QStringLiteral("<results/></query><!-- total: 0 -->\n");
        return text.toUtf8();
    }
    text += QStringLiteral("<results>");
    for (const Place& place : places)
        text += placeElement(place);
    text += QStringLiteral("</results></query><!-- total: %1 -->%2\n")
                .arg(QString::number(places.size()), creditComments(places));
    QByteArray document = text.toUtf8();
    padWithComment(document, minimumFoundBytes);
    return document;
}

} // namespace brisora::gateway
