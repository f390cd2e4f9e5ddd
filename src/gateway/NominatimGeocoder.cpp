#include "NominatimGeocoder.h"

#include "NominatimJsonReader.h"

#include <QUrlQuery>

namespace brisora::gateway {
namespace {

using namespace std::chrono_literals;

// The policy allows one request a second as the service sees them; the extra tenth keeps
// two requests apart even when the network holds the first back a little longer.
constexpr std::chrono::milliseconds requestInterval = 1100ms;
// Past this many waiting requests (about as long as the widget waits for an answer) more
// are turned away rather than queued.
constexpr qsizetype maxWaiting = 16;
constexpr int searchLimit = 5;

QChar osmTypeLetter(PlaceId::Kind kind)
{
    switch (kind) {
    case PlaceId::Kind::OsmNode:
        return QLatin1Char('N');
    case PlaceId::Kind::OsmWay:
        return QLatin1Char('W');
    default:
        return QLatin1Char('R');
    }
}

PlaceLookup lookupFrom(const UpstreamReply& reply, bool lasting)
{
    if (reply.outcome != UpstreamReply::Outcome::Ok)
        return PlaceLookup{PlaceLookup::Outcome::Failed, {}, reply.error};
    GeocodingReadResult result = readNominatimJson(reply.body);
    if (!result.places)
        return PlaceLookup{PlaceLookup::Outcome::Failed, {}, result.error};
    if (result.places->isEmpty())
        return PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}, lasting};
    return PlaceLookup{PlaceLookup::Outcome::Found, std::move(*result.places), {}, lasting};
}

} // namespace

NominatimGeocoder::NominatimGeocoder(std::unique_ptr<UpstreamClient> client, QUrl baseUrl)
    : m_pacer(requestInterval, maxWaiting), m_client(std::move(client)),
      m_baseUrl(std::move(baseUrl))
{
}

QUrl NominatimGeocoder::defaultUrl()
{
    return QUrl(QStringLiteral("https://nominatim.openstreetmap.org"));
}

void NominatimGeocoder::search(const QString& words, std::function<void(PlaceLookup)> done)
{
    ask(QStringLiteral("search"),
        {{QStringLiteral("q"), words.simplified()},
         {QStringLiteral("format"), QStringLiteral("jsonv2")},
         {QStringLiteral("addressdetails"), QStringLiteral("1")},
         {QStringLiteral("limit"), QString::number(searchLimit)},
         {QStringLiteral("accept-language"), QStringLiteral("en")}},
        true, std::move(done));
}

void NominatimGeocoder::lookup(const PlaceId& id, std::function<void(PlaceLookup)> done)
{
    if (!id.isOsm()) {
        done(PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}});
        return;
    }
    ask(QStringLiteral("lookup"),
        {{QStringLiteral("osm_ids"), osmTypeLetter(id.kind()) + QString::number(id.sourceId())},
         {QStringLiteral("format"), QStringLiteral("jsonv2")},
         {QStringLiteral("addressdetails"), QStringLiteral("1")},
         {QStringLiteral("accept-language"), QStringLiteral("en")}},
        false, std::move(done));
}

void NominatimGeocoder::ask(const QString& endpoint,
                            const QList<std::pair<QString, QString>>& parameters, bool lasting,
                            std::function<void(PlaceLookup)> done)
{
    // While the service has asked for a pause, nobody need queue for the answer it gives.
    if (m_client->isBackingOff()) {
        done(PlaceLookup{PlaceLookup::Outcome::Failed, {}, QStringLiteral("backing off")});
        return;
    }
    QUrl url = UpstreamClient::endpointUrl(m_baseUrl, endpoint);
    QUrlQuery query;
    for (const auto& [key, value] : parameters)
        query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);

    auto job = [this, url, lasting, done](RequestPacer::Finished finished) {
        m_client->get(url, [lasting, done, finished](UpstreamReply reply) {
            finished();
            done(lookupFrom(reply, lasting));
        });
    };
    if (!m_pacer.enqueue(std::move(job)))
        done(PlaceLookup{PlaceLookup::Outcome::Failed,
                         {},
                         QStringLiteral("too many OpenStreetMap geocoder requests waiting")});
}

} // namespace brisora::gateway
