#include "DemoPlaces.h"

#include "PlaceId.h"

#include <array>

namespace brisora::gateway {
namespace {

struct DemoEntry
{
    const char* name;
    const char* admin1;
    const char* countryCode;
    const char* country;
    const char* timeZone;
    double latitude;
    double longitude;
    qint64 population;
};

// Plain ASCII names, so that any client shows them as they are.
constexpr std::array<DemoEntry, 20> entries{{
    {"London", "England", "GB", "United Kingdom", "Europe/London", 51.5085, -0.1257, 8961989},
    {"New York", "New York", "US", "United States", "America/New_York", 40.7143, -74.006, 8804190},
    {"Tokyo", "Tokyo", "JP", "Japan", "Asia/Tokyo", 35.6895, 139.6917, 9733276},
    {"Sydney", "New South Wales", "AU", "Australia", "Australia/Sydney", -33.8679, 151.2073,
     4627345},
    {"Paris", "Ile-de-France", "FR", "France", "Europe/Paris", 48.8534, 2.3488, 2138551},
    {"Berlin", "Berlin", "DE", "Germany", "Europe/Berlin", 52.5244, 13.4105, 3426354},
    {"Moscow", "Moscow", "RU", "Russia", "Europe/Moscow", 55.7522, 37.6156, 10381222},
    {"Cairo", "Cairo Governorate", "EG", "Egypt", "Africa/Cairo", 30.0626, 31.2497, 7734614},
    {"Mumbai", "Maharashtra", "IN", "India", "Asia/Kolkata", 19.0728, 72.8826, 12691836},
    {"Sao Paulo", "Sao Paulo", "BR", "Brazil", "America/Sao_Paulo", -23.5475, -46.6361, 10021295},
    {"Mexico City", "Mexico City", "MX", "Mexico", "America/Mexico_City", 19.4285, -99.1277,
     12294193},
    {"Los Angeles", "California", "US", "United States", "America/Los_Angeles", 34.0522, -118.2437,
     3971883},
    {"Chicago", "Illinois", "US", "United States", "America/Chicago", 41.85, -87.65, 2720546},
    {"Toronto", "Ontario", "CA", "Canada", "America/Toronto", 43.7001, -79.4163, 2600000},
    {"Cape Town", "Western Cape", "ZA", "South Africa", "Africa/Johannesburg", -33.9258, 18.4232,
     3433441},
    {"Singapore", "", "SG", "Singapore", "Asia/Singapore", 1.2897, 103.8501, 5638700},
    {"Reykjavik", "Capital Region", "IS", "Iceland", "Atlantic/Reykjavik", 64.1355, -21.8954,
     118918},
    {"Buenos Aires", "Buenos Aires F.D.", "AR", "Argentina", "America/Argentina/Buenos_Aires",
     -34.6132, -58.3772, 13076300},
    {"Nairobi", "Nairobi County", "KE", "Kenya", "Africa/Nairobi", -1.2833, 36.8167, 2750547},
    {"Beijing", "Beijing", "CN", "China", "Asia/Shanghai", 39.9075, 116.3972, 18960744},
}};

Place placeOf(std::size_t position)
{
    const DemoEntry& entry = entries[position];
    Place place;
    place.placeId = PlaceId::fromDemoIndex(static_cast<qint64>(position) + 1)->toString();
    place.name = QLatin1String(entry.name);
    place.admin1 = QLatin1String(entry.admin1);
    place.countryCode = QLatin1String(entry.countryCode);
    place.country = QLatin1String(entry.country);
    place.timeZone = QLatin1String(entry.timeZone);
    place.featureCode = QStringLiteral("PPLC");
    place.latitude = entry.latitude;
    place.longitude = entry.longitude;
    place.population = entry.population;
    return place;
}

} // namespace

QList<Place> demoPlaces()
{
    QList<Place> places;
    for (std::size_t i = 0; i < entries.size(); ++i)
        places.append(placeOf(i));
    return places;
}

std::optional<Place> demoPlace(qint64 index)
{
    if (index < 1 || index > static_cast<qint64>(entries.size()))
        return std::nullopt;
    return placeOf(static_cast<std::size_t>(index - 1));
}

QList<Place> searchDemoPlaces(const QString& words)
{
    const QString wanted = words.simplified();
    if (wanted.isEmpty())
        return {};
    QList<Place> startsWith;
    QList<Place> contains;
    for (const Place& place : demoPlaces()) {
        if (place.name.startsWith(wanted, Qt::CaseInsensitive))
            startsWith.append(place);
        else if (place.name.contains(wanted, Qt::CaseInsensitive) ||
                 place.admin1.contains(wanted, Qt::CaseInsensitive) ||
                 place.country.contains(wanted, Qt::CaseInsensitive))
            contains.append(place);
    }
    return startsWith + contains;
}

} // namespace brisora::gateway
