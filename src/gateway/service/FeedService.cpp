#include "FeedService.h"

#include "FeedDocument.h"
#include "PlaceSearchDocument.h"

#include <QTimer>
#include <memory>

namespace brisora::gateway {
namespace {

QString feedKey(const QString& placeIdText, Units units)
{
    return (units == Units::Metric ? QStringLiteral("c|") : QStringLiteral("f|")) + placeIdText;
}

// The same words however spaced or cased share one search (as the place store does).
QString searchKey(const QString& words)
{
    return QStringLiteral("s|") + words.simplified().toCaseFolded();
}

constexpr int sourceUnavailable = 503;

} // namespace

FeedService::FeedService(WeatherSource& source, PlaceStore& places, LastGoodStore& lastGood,
                         const ZoneDatabase& zones, GatewayClock clock, Timing timing,
                         GatewayLog log)
    : m_source(source), m_places(places), m_lastGood(lastGood), m_zones(zones),
      m_clock(std::move(clock)), m_timing(timing), m_log(std::move(log))
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

bool FeedService::hasWorkUnderWay() const
{
    return !m_feeds.isEmpty() || !m_lookups.isEmpty() || !m_searches.isEmpty();
}

void FeedService::handleFeed(const FeedRequest& request, Respond respond)
{
    const QString placeIdText = QString::fromLatin1(request.placeIdText);
    const QString key = feedKey(placeIdText, request.units);
    const qint64 now = nowMs();
    if (const ReplyCache::Entry* cached = m_replies.find(key, now);
        cached && now < cached->freshUntilMs) {
        respond(cached->reply);
        return;
    }
    // Answered once: by the source, or by an older document when the source is slow.
    auto pending = std::make_shared<Respond>(std::move(respond));
    const auto answer = [pending](GatewayReply reply) {
        if (!*pending)
            return;
        const Respond respondOnce = std::move(*pending);
        *pending = nullptr;
        respondOnce(std::move(reply));
    };
    const bool underWay = !m_feeds.join(key, answer);
    // Precise: a wait of two seconds or more is otherwise a coarse timer, which may end 5 %
    // early, before the second source has had its time.
    QTimer::singleShot(m_timing.sourceWait, Qt::PreciseTimer, &m_timerContext,
                       [this, key, placeIdText, units = request.units, pending, answer] {
                           if (!*pending)
                               return;
                           std::optional<GatewayReply> older = olderFeed(key, placeIdText, units);
                           if (!older)
                               return;
                           // Once per fetch, not once per client waiting for it.
                           if (!m_slowFetchesLogged.contains(key)) {
                               m_slowFetchesLogged.insert(key);
                               logFallback(placeIdText, units,
                                           QStringLiteral("as the source takes over %1 ms")
                                               .arg(m_timing.sourceWait.count()));
                           }
                           answer(std::move(*older));
                       });
    if (!underWay)
        startFeed(placeIdText, request.units);
}

std::optional<GatewayReply> FeedService::olderFeed(const QString& key, const QString& placeIdText,
                                                   Units units) const
{
    if (const ReplyCache::Entry* cached = m_replies.find(key, nowMs());
        cached && cached->reply.status == 200)
        return cached->reply;
    const std::optional<PlaceId> id = PlaceId::parse(placeIdText.toStdString());
    if (!id)
        return std::nullopt;
    if (std::optional<QByteArray> lastGood = m_lastGood.load(id->toString(), units))
        return GatewayReply{200, std::move(*lastGood)};
    return std::nullopt;
}

void FeedService::startFeed(const QString& placeIdText, Units units)
{
    const QString key = feedKey(placeIdText, units);
    m_feeds.begin(key);
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
    if (!m_lookups.join(idText, std::move(next)))
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
        m_lookups.finish(idText, lookup);
    });
}

void FeedService::fetchForecast(const Place& place, Units units)
{
    m_source.fetchForecast(place, units, [this, place, units](ForecastFetch fetch) {
        const QString key = feedKey(place.placeId, units);
        if (fetch.forecast) {
            QByteArray document = renderFeedDocument(place, *fetch.forecast, units, m_zones);
            if (!fetch.forecast->isDemo)
                m_lastGood.save(place.placeId, units, document);
            finishFeed(key, GatewayReply{200, std::move(document)}, m_timing.forecastFresh,
                       m_timing.forecastUsable);
        } else if (const ReplyCache::Entry* cached = m_replies.find(key, nowMs());
                   cached && cached->reply.status == 200) {
            // A refresh that failed keeps the document already in hand.
            logFallback(place.placeId, units,
                        QStringLiteral("kept in memory, after an upstream failure"));
            finishFeed(key, cached->reply, m_timing.staleHeld, m_timing.staleHeld);
        } else if (std::optional<QByteArray> lastGood = m_lastGood.load(place.placeId, units)) {
            logFallback(place.placeId, units,
                        QStringLiteral("from disk, after an upstream failure"));
            finishFeed(key, GatewayReply{200, std::move(*lastGood)}, m_timing.staleHeld,
                       m_timing.staleHeld);
        } else {
            finishFeed(key, GatewayReply{sourceUnavailable, {}}, m_timing.failureHeld,
                       m_timing.failureHeld);
        }
    });
}

void FeedService::logFallback(const QString& placeId, Units units, const QString& why) const
{
    m_log.write(QStringLiteral("serving the last good feed of %1 (u=%2), %3")
                    .arg(placeId, QLatin1String(units == Units::Metric ? "c" : "f"), why));
}

void FeedService::finishFeed(const QString& key, GatewayReply reply,
                             std::chrono::milliseconds fresh, std::chrono::milliseconds usable)
{
    const qint64 now = nowMs();
    m_replies.put(key, ReplyCache::Entry{reply, now + fresh.count(), now + usable.count()}, now);
    m_slowFetchesLogged.remove(key);
    m_feeds.finish(key, reply);
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
    if (!m_searches.join(key, std::move(respond)))
        return;
    m_source.searchPlaces(request.words, [this, key, words = request.words](PlaceLookup lookup) {
        switch (lookup.outcome) {
        case PlaceLookup::Outcome::Found:
            if (m_source.keepsPlacesOnDisk()) {
                for (const Place& place : lookup.places)
                    m_places.storePlace(place);
            }
            m_places.storeSearch(words, lookup.places);
            m_searches.finish(
                key, GatewayReply{200, renderPlaceSearchDocument(lookup.places, m_clock())});
            break;
        case PlaceLookup::Outcome::NotFound:
            if (lookup.lasting)
                m_places.storeSearch(words, {});
            finishSearch(key, GatewayReply{200, renderPlaceSearchDocument({}, m_clock())},
                         m_timing.unknownHeld);
            break;
        case PlaceLookup::Outcome::Failed:
            finishSearch(key, GatewayReply{sourceUnavailable, {}}, m_timing.failureHeld);
            break;
        }
    });
}

void FeedService::finishSearch(const QString& key, const GatewayReply& reply,
                               std::chrono::milliseconds held)
{
    const qint64 now = nowMs();
    m_replies.put(key, ReplyCache::Entry{reply, now + held.count(), now + held.count()}, now);
    m_searches.finish(key, reply);
}

} // namespace brisora::gateway
