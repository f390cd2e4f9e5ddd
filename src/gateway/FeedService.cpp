#include "FeedService.h"

#include "FeedDocument.h"
#include "PlaceSearchDocument.h"

namespace brisora::gateway {
namespace {

QString feedKey(const QString& placeIdText, Units units)
{
    return (units == Units::Metric ? QStringLiteral("c|") : QStringLiteral("f|")) + placeIdText;
}

QString searchKey(const QString& words)
{
    return QStringLiteral("s|") + words.toCaseFolded();
}

constexpr int sourceUnavailable = 503;

} // namespace

FeedService::FeedService(WeatherSource& source, PlaceStore& places, LastGoodStore& lastGood,
                         GatewayClock clock, Timing timing, GatewayLog log)
    : m_source(source), m_places(places), m_lastGood(lastGood), m_clock(std::move(clock)),
      m_timing(timing), m_log(std::move(log))
{
}

qint64 FeedService::nowMs() const
{
    return m_clock().toMSecsSinceEpoch();
}

void FeedService::handle(const GatewayRequest& request, Respond respond)
{
    if (const auto* feed = std::get_if<FeedRequest>(&request))
        handleFeed(*feed, std::move(respond));
    else if (const auto* search = std::get_if<PlaceSearchRequest>(&request))
        handleSearch(*search, std::move(respond));
    else
        respond(GatewayReply{std::get<RejectedRequest>(request).status, {}});
}

void FeedService::handleFeed(const FeedRequest& request, Respond respond)
{
    const QString placeIdText = QString::fromLatin1(request.placeIdText);
    const QString key = feedKey(placeIdText, request.units);
    const qint64 now = nowMs();
    if (const ReplyCache::Entry* cached = m_replies.find(key, now)) {
        const GatewayReply reply = cached->reply;
        // A document past its ten minutes still answers at once while a newer one comes.
        if (now >= cached->freshUntilMs && !m_feedWaiters.contains(key))
            startFeed(placeIdText, request.units);
        respond(reply);
        return;
    }
    const bool underWay = m_feedWaiters.contains(key);
    m_feedWaiters[key].append(std::move(respond));
    if (!underWay)
        startFeed(placeIdText, request.units);
}

void FeedService::startFeed(const QString& placeIdText, Units units)
{
    const QString key = feedKey(placeIdText, units);
    if (!m_feedWaiters.contains(key))
        m_feedWaiters.insert(key, {});
    const std::optional<PlaceId> id = PlaceId::parse(placeIdText.toStdString());
    if (!id) {
        finishFeed(key, GatewayReply{200, renderCityNotFoundDocument(placeIdText, units)},
                   m_timing.unknownHeld, m_timing.unknownHeld);
        return;
    }
    withPlace(*id, [this, key, placeIdText, units](const PlaceLookup& lookup) {
        switch (lookup.outcome) {
        case PlaceLookup::Outcome::Found:
            fetchForecast(lookup.places.first(), units);
            break;
        case PlaceLookup::Outcome::NotFound:
            finishFeed(key, GatewayReply{200, renderCityNotFoundDocument(placeIdText, units)},
                       m_timing.unknownHeld, m_timing.unknownHeld);
            break;
        case PlaceLookup::Outcome::Failed:
            finishFeed(key, GatewayReply{sourceUnavailable, {}}, m_timing.failureHeld,
                       m_timing.failureHeld);
            break;
        }
    });
}

void FeedService::withPlace(const PlaceId& id, std::function<void(PlaceLookup)> next)
{
    const QString idText = id.toString();
    if (std::optional<Place> known = m_places.place(idText)) {
        next(PlaceLookup{PlaceLookup::Outcome::Found, {*known}, {}});
        return;
    }
    const bool underWay = m_lookupWaiters.contains(idText);
    m_lookupWaiters[idText].append(std::move(next));
    if (underWay)
        return;
    m_source.lookupPlace(id, [this, idText](PlaceLookup lookup) {
        if (lookup.outcome == PlaceLookup::Outcome::Found) {
            // The geocoder's own answer names the place; keep only a place with the asked id.
            Place place = lookup.places.first();
            if (place.placeId != idText) {
                lookup = PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}};
            } else if (m_source.keepsPlacesOnDisk()) {
                m_places.storePlace(place);
            }
        }
        const QList<std::function<void(PlaceLookup)>> waiting = m_lookupWaiters.take(idText);
        for (const auto& waiter : waiting)
            waiter(lookup);
    });
}

void FeedService::fetchForecast(const Place& place, Units units)
{
    m_source.fetchForecast(place, units, [this, place, units](ForecastFetch fetch) {
        const QString key = feedKey(place.placeId, units);
        if (fetch.forecast) {
            QByteArray document = renderFeedDocument(place, *fetch.forecast, units);
            if (!fetch.forecast->isDemo)
                m_lastGood.save(place.placeId, units, document);
            finishFeed(key, GatewayReply{200, std::move(document)}, m_timing.forecastFresh,
                       m_timing.forecastUsable);
        } else if (const ReplyCache::Entry* cached = m_replies.find(key, nowMs());
                   cached && cached->reply.status == 200) {
            // A refresh that failed keeps the document already in hand.
            logFallback(place, units, "kept in memory");
            finishFeed(key, cached->reply, m_timing.staleHeld, m_timing.staleHeld);
        } else if (std::optional<QByteArray> lastGood = m_lastGood.load(place.placeId, units)) {
            logFallback(place, units, "from disk");
            finishFeed(key, GatewayReply{200, std::move(*lastGood)}, m_timing.staleHeld,
                       m_timing.staleHeld);
        } else {
            finishFeed(key, GatewayReply{sourceUnavailable, {}}, m_timing.failureHeld,
                       m_timing.failureHeld);
        }
    });
}

void FeedService::logFallback(const Place& place, Units units, const char* where) const
{
    m_log.write(QStringLiteral("serving the last good feed of %1 (%2, u=%3), %4, after an "
                               "upstream failure")
                    .arg(place.placeId, place.name,
                         QLatin1String(units == Units::Metric ? "c" : "f"), QLatin1String(where)));
}

void FeedService::finishFeed(const QString& key, GatewayReply reply,
                             std::chrono::milliseconds fresh, std::chrono::milliseconds usable)
{
    const qint64 now = nowMs();
    m_replies.put(key, ReplyCache::Entry{reply, now + fresh.count(), now + usable.count()}, now);
    // Taken out first: answering may bring the next request of a connection straight in.
    const QList<Respond> waiting = m_feedWaiters.take(key);
    for (const Respond& respond : waiting)
        respond(reply);
}

void FeedService::handleSearch(const PlaceSearchRequest& request, Respond respond)
{
    if (request.words.isEmpty()) {
        respond(GatewayReply{200, renderPlaceSearchDocument({}, m_clock())});
        return;
    }
    if (std::optional<QList<Place>> known = m_places.search(request.words)) {
        respond(GatewayReply{200, renderPlaceSearchDocument(*known, m_clock())});
        return;
    }
    const QString key = searchKey(request.words);
    if (const ReplyCache::Entry* cached = m_replies.find(key, nowMs())) {
        respond(cached->reply);
        return;
    }
    const bool underWay = m_searchWaiters.contains(key);
    m_searchWaiters[key].append(std::move(respond));
    if (underWay)
        return;
    m_source.searchPlaces(request.words, [this, key, words = request.words](PlaceLookup lookup) {
        switch (lookup.outcome) {
        case PlaceLookup::Outcome::Found:
            if (m_source.keepsPlacesOnDisk()) {
                for (const Place& place : lookup.places)
                    m_places.storePlace(place);
            }
            m_places.storeSearch(words, lookup.places);
            finishSearch(key,
                         GatewayReply{200, renderPlaceSearchDocument(lookup.places, m_clock())});
            break;
        case PlaceLookup::Outcome::NotFound: {
            const GatewayReply reply{200, renderPlaceSearchDocument({}, m_clock())};
            m_replies.put(key,
                          ReplyCache::Entry{reply, nowMs() + m_timing.unknownHeld.count(),
                                            nowMs() + m_timing.unknownHeld.count()},
                          nowMs());
            finishSearch(key, reply);
            break;
        }
        case PlaceLookup::Outcome::Failed: {
            const GatewayReply reply{sourceUnavailable, {}};
            m_replies.put(key,
                          ReplyCache::Entry{reply, nowMs() + m_timing.failureHeld.count(),
                                            nowMs() + m_timing.failureHeld.count()},
                          nowMs());
            finishSearch(key, reply);
            break;
        }
        }
    });
}

void FeedService::finishSearch(const QString& key, const GatewayReply& reply)
{
    const QList<Respond> waiting = m_searchWaiters.take(key);
    for (const Respond& respond : waiting)
        respond(reply);
}

} // namespace brisora::gateway
