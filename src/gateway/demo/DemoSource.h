#pragma once

#include "GatewayClock.h"
#include "WeatherSource.h"
#include "ZoneDatabase.h"

namespace brisora::gateway {

/// The offline source: the built-in demo places and made-up weather, at their times in
/// `zones`. Answers at once.
class DemoSource : public WeatherSource
{
public:
    DemoSource(GatewayClock clock, const ZoneDatabase& zones);

    void searchPlaces(const QString& words, std::function<void(PlaceLookup)> done) override;
    void lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done) override;
    void fetchForecast(const Place& place, Units units,
                       std::function<void(ForecastFetch)> done) override;
    bool keepsPlacesOnDisk() const override { return false; }

private:
    GatewayClock m_clock;
    const ZoneDatabase& m_zones;
};

} // namespace brisora::gateway
