#include "NominatimGeocoder.h"

#include "GeocoderReply.h"
#include "NominatimJsonReader.h"

#include <QUrlQuery>

namespace brisora::gateway {
namespace {

using namespace std::chrono_literals;

// The policy allows one request a second as the service sees them; the extra tenth keeps
// two requests apart even when the network holds the first back a little longer.
const UpstreamGate::Rules usagePolicy{1, 1100ms};
// Past this many waiting requests (about as long as the widget waits for an answer) more
// are turned away rather than queued.
constexpr std::size_t maxWaiting = 16;
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

} // namespace

NominatimGeocoder::NominatimGeocoder(std::unique_ptr<UpstreamClient> client, QUrl baseUrl,
                                     GatewayClock clock)
    : m_baseUrl(std::move(baseUrl)), m_gate(usagePolicy, std::move(clock)),
      m_client(std::move(client))
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
    if (m_gate.waiting() >= maxWaiting) {
        done(PlaceLookup{PlaceLookup::Outcome::Failed,
                         {},
                         QStringLiteral("too many OpenStreetMap geocoder requests waiting")});
        return;
    }
    QUrl url = UpstreamClient::endpointUrl(m_baseUrl, endpoint);
    QUrlQuery query;
    for (const auto& [key, value] : parameters)
        query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);

    m_client->get(m_gate, url, [this, url, lasting, done = std::move(done)](UpstreamReply reply) {
        done(lookupFromReply(*m_client, url, reply, &readNominatimJson, lasting));
    });
}

} // namespace brisora::gateway
