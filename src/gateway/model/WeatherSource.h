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
    /// What kind of failure it was, so that a caller can tell a source that is down or
    /// holding the gateway off from one that cannot help with this request.
    enum class Failure
    {
        None,        // `forecast` holds one
        Unreachable, // no HTTP answer: connection refused or reset, name not found
        TimedOut,
        RateLimited, // a 429 now, or the source still held off after an earlier one
        Refused,     // the source refused the gateway's identification (403)
        ServerError, // a 5xx
        Rejected,    // another error status: the source will not answer this request
        Unreadable,  // a success status with a body that cannot be used (malformed,
                     // incomplete, too large)
    };

    std::optional<Forecast> forecast;
    QString error;
    Failure failure = Failure::None;
    // RateLimited or Refused: when the source takes requests again, if it said or decided.
    QDateTime closedUntil{};
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
