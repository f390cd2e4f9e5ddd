#pragma once

#include <QString>
#include <optional>

namespace brisora::gateway {

/// One place as the geocoder knows it, keyed by the gateway's own place id.
struct Place
{
    QString placeId;              // decimal text, as the widget stores and sends it
    QString name;                 // "Lakeside"
    QString admin1;               // first-level region, may be empty
    QString admin2;               // second-level region, may be empty
    QString countryCode;          // "US", may be empty
    QString country;              // "United States", may be empty
    QString timeZone;             // IANA id, may be empty when the geocoder has none
    QString featureCode;          // geocoder's feature class code ("PPLA", "ADM1"), may be empty
    qint64 countryGeocoderId = 0; // 0 when unknown
    qint64 admin1GeocoderId = 0;
    qint64 admin2GeocoderId = 0;
    double latitude = 0;
    double longitude = 0;
    qint64 population = 0;
    std::optional<double> elevation; // metres above sea level, when the geocoder knows it

    bool operator==(const Place&) const = default;
};

} // namespace brisora::gateway
