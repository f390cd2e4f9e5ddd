#pragma once

#include "GatewayClock.h"
#include "GatewayLog.h"
#include "GatewayReply.h"
#include "LastGoodStore.h"
#include "PlaceStore.h"
#include "ReplyCache.h"
#include "RequestCoalescer.h"
#include "RequestHandler.h"
#include "WeatherSource.h"
#include "ZoneDatabase.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <chrono>
#include <functional>

namespace brisora::gateway {

/// Answers the two look-ups from the source through the caches: forecasts per place and
/// units stay fresh for `forecastFresh`; past that a request waits for a new one, but when
/// the source takes longer than `sourceWait` or fails, the older document answers (from
/// memory, or the place's last good one on disk), with its own build date; a fetch still
/// under way then goes on, and its forecast answers the next request. Places and
/// searches are kept for good (a search that finds nothing is held for an hour, or kept too
/// when the source says that answer lasts). Concurrent requests for the same thing share one
/// upstream call, and failures are held briefly so that clients retrying every few seconds
/// cost the source nothing. Each fallback to an older document is logged.
class FeedService : public RequestHandler
{
public:
    struct Timing
    {
        std::chrono::milliseconds forecastFresh = std::chrono::minutes(10);
        std::chrono::milliseconds forecastUsable = std::chrono::hours(1); // >= forecastFresh
        // Within the widget's 2.8 s attempt, with room for the reply to travel, and long
        // enough for a second source asked after the first's 1 s to answer.
        std::chrono::milliseconds sourceWait = std::chrono::milliseconds(2300);
        std::chrono::milliseconds staleHeld = std::chrono::minutes(1);
        std::chrono::milliseconds failureHeld = std::chrono::seconds(30);
        std::chrono::milliseconds unknownHeld = std::chrono::hours(1);
    };

    FeedService(WeatherSource& source, PlaceStore& places, LastGoodStore& lastGood,
                const ZoneDatabase& zones, GatewayClock clock, Timing timing, GatewayLog log = {});

    /// Answers `request` through `respond`, at once or when the source has answered. A
    /// RejectedRequest is answered with its status.
    void handle(const GatewayRequest& request, Respond respond) override;

    /// True while a search, a look-up or a forecast fetch (a refresh in the background too)
    /// waits for the source.
    bool hasWorkUnderWay() const;

private:
    void handleFeed(const FeedRequest& request, Respond respond);
    void handleSearch(const PlaceSearchRequest& request, Respond respond);
    void startFeed(const QString& placeIdText, Units units);
    std::optional<GatewayReply> olderFeed(const QString& key, const QString& placeIdText,
                                          Units units) const;
    void withPlace(const PlaceId& id, std::function<void(PlaceLookup)> next);
    void fetchForecast(const Place& place, Units units);
    void finishFeed(const QString& key, GatewayReply reply, std::chrono::milliseconds fresh,
                    std::chrono::milliseconds usable);
    /// Answers the requests waiting on search `key` with `reply`, held for `held` in the
    /// reply cache.
    void finishSearch(const QString& key, const GatewayReply& reply,
                      std::chrono::milliseconds held);
    qint64 nowMs() const;
    void logFallback(const QString& placeId, Units units, const QString& why) const;

    WeatherSource& m_source;
    PlaceStore& m_places;
    LastGoodStore& m_lastGood;
    const ZoneDatabase& m_zones;
    GatewayClock m_clock;
    Timing m_timing;
    GatewayLog m_log;
    ReplyCache m_replies;
    RequestCoalescer<GatewayReply> m_feeds; // a key here has a fetch under way
    RequestCoalescer<PlaceLookup> m_lookups;
    RequestCoalescer<GatewayReply> m_searches;
    QSet<QString> m_slowFetchesLogged; // feeds under way already answered from an older one
    QObject m_timerContext;            // ends the waits still running when the service goes
};

} // namespace brisora::gateway
