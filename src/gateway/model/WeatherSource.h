#pragma once

#include "Forecast.h"
#include "Place.h"
#include "PlaceId.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

namespace brisora::gateway {

/// What a place search or a look-up by id came to.
struct PlaceLookup
{
    enum class Outcome
    {
        Found,    // `places` holds at least one place
        NotFound, // the source answered, and knows no such place
        Failed,   // the source could not be asked or gave no usable answer
    };
    Outcome outcome = Outcome::Failed;
    QList<Place> places;
    QString error;
    // The answer, "nothing found" included, holds for good: keep it and never ask again.
    bool lasting = false;
};

/// What a forecast fetch came to: a forecast, or why there is none.
struct ForecastFetch
{
    /// Why there is no forecast; a source that cannot tell leaves Unavailable.
    enum class Failure
    {
        Unavailable, // refused, reset, timed out, a 5xx, or a reply that could not be read
        RateLimited, // a rate limit, or a back-off from one still in force
        Rejected,    // the source answered, but with an error for this request (a 4xx)
    };
    std::optional<Forecast> forecast;
    QString error;
    Failure failure = Failure::Unavailable;
    QDateTime closedUntil{}; // RateLimited: when the source takes requests again, if it knows
};

/// Where places and weather come from. Callbacks may run before the call returns (a source
/// that needs no network) or later from the event loop; each runs exactly once, unless the
/// source is destroyed first.
class WeatherSource
{
public:
    virtual ~WeatherSource() = default;

    /// Places matching `words` (non-empty), best first.
    virtual void searchPlaces(const QString& words, std::function<void(PlaceLookup)> done) = 0;
    /// The one place with this id.
    virtual void lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done) = 0;
    /// Current conditions and forecast days for `place` in `units`.
    virtual void fetchForecast(const Place& place, Units units,
                               std::function<void(ForecastFetch)> done) = 0;
    /// True when places are worth keeping on disk (they came from a remote geocoder).
    virtual bool keepsPlacesOnDisk() const = 0;
};

} // namespace brisora::gateway
