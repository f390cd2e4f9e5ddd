#include "DemoSource.h"

#include "DemoPlaces.h"
#include "DemoWeather.h"

namespace brisora::gateway {

DemoSource::DemoSource(GatewayClock clock, const ZoneDatabase& zones)
    : m_clock(std::move(clock)), m_zones(zones)
{
}

void DemoSource::searchPlaces(const QString& words, std::function<void(PlaceLookup)> done)
{
    const QList<Place> places = searchDemoPlaces(words);
    done(
        PlaceLookup{places.isEmpty() ? PlaceLookup::Outcome::NotFound : PlaceLookup::Outcome::Found,
                    places,
                    {}});
}

void DemoSource::lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done)
{
    const std::optional<Place> place =
        id.kind() == PlaceId::Kind::Demo ? demoPlace(id.sourceId()) : std::nullopt;
    if (!place) {
        done(PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}});
        return;
    }
    done(PlaceLookup{PlaceLookup::Outcome::Found, {*place}, {}});
}

void DemoSource::fetchForecast(const Place& place, Units units,
                               std::function<void(ForecastFetch)> done)
{
    done(ForecastFetch{demoForecast(place, units, m_clock(), m_zones), {}, {}, {}});
}

} // namespace brisora::gateway
