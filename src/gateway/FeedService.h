#pragma once

#include "GatewayClock.h"
#include "GatewayLog.h"
#include "GatewayReply.h"
#include "GatewayRequest.h"
#include "LastGoodStore.h"
#include "PlaceStore.h"
#include "ReplyCache.h"
#include "WeatherSource.h"

#include <QHash>
#include <QList>
#include <chrono>
#include <functional>

namespace brisora::gateway {

/// Answers the two look-ups from the source through the caches: forecasts per place and
/// units stay fresh for ten minutes (and are handed out a while longer while a newer one is
/// fetched); places and searches are kept for good; when the source fails, the place's last
/// good document is served with its own build date. Concurrent requests for the same thing
/// share one upstream call, and failures are held briefly so that clients retrying every
/// few seconds cost the source nothing. Each fallback to a last good document is logged.
class FeedService
{
public:
    struct Timing
    {
        std::chrono::milliseconds forecastFresh = std::chrono::minutes(10);
        std::chrono::milliseconds forecastUsable = std::chrono::hours(1);
        std::chrono::milliseconds staleHeld = std::chrono::minutes(1);
        std::chrono::milliseconds failureHeld = std::chrono::seconds(30);
        std::chrono::milliseconds unknownHeld = std::chrono::hours(1);
    };

    using Respond = std::function<void(GatewayReply)>;

    FeedService(WeatherSource& source, PlaceStore& places, LastGoodStore& lastGood,
                GatewayClock clock, Timing timing, GatewayLog log = {});

    /// Answers `request` through `respond`, at once or when the source has answered. A
    /// RejectedRequest is answered with its status.
    void handle(const GatewayRequest& request, Respond respond);

private:
    void handleFeed(const FeedRequest& request, Respond respond);
    void handleSearch(const PlaceSearchRequest& request, Respond respond);
    void startFeed(const QString& placeIdText, Units units);
    void withPlace(const PlaceId& id, std::function<void(PlaceLookup)> next);
    void fetchForecast(const Place& place, Units units);
    void finishFeed(const QString& key, GatewayReply reply, std::chrono::milliseconds fresh,
                    std::chrono::milliseconds usable);
    void finishSearch(const QString& key, const GatewayReply& reply);
    qint64 nowMs() const;
    void logFallback(const Place& place, Units units, const char* where) const;

    WeatherSource& m_source;
    PlaceStore& m_places;
    LastGoodStore& m_lastGood;
    GatewayClock m_clock;
    Timing m_timing;
    GatewayLog m_log;
    ReplyCache m_replies;
    QHash<QString, QList<Respond>> m_feedWaiters; // a key here has a fetch under way
    QHash<QString, QList<std::function<void(PlaceLookup)>>> m_lookupWaiters;
    QHash<QString, QList<Respond>> m_searchWaiters;
};

} // namespace brisora::gateway
