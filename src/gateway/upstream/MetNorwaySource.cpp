#include "MetNorwaySource.h"

#include "FailedFetch.h"
#include "HttpDate.h"
#include "LocalTimeFormat.h"
#include "MetNorwayForecast.h"
#include "MetNorwayJsonReader.h"
#include "TrimmedDecimal.h"

#include <QUrlQuery>
#include <cmath>

namespace brisora::gateway {
namespace {

// MET asks for no more than 20 requests a second from all of an application's users
// together; two at a time from one gateway stay far below that.
const UpstreamGate::Rules servicePolicy{2, std::chrono::milliseconds(0)};

// How long a 403 holds MET off: it means the identification was refused, which asking again
// and again would only make worse.
constexpr qint64 refusedHoldSeconds = 3600;

// Earlier copies' hours are kept this long: enough for today, whatever the hour.
constexpr qint64 pastHoursKeptSeconds = 2 * 86'400;

/// `value` cut towards zero to four decimals, trailing zeros dropped, never "-0".
QString coordinateText(double value)
{
    // Rounded to six decimals first, so that 59.9139 stored as 59.91389999... stays itself.
    QString text = QString::number(value, 'f', 6);
    text.chop(2);
    return trimmedDecimal(text);
}

PlaceLookup noGeocoder()
{
    PlaceLookup lookup;
    lookup.outcome = PlaceLookup::Outcome::Failed;
    lookup.error = QStringLiteral("MET Norway has no geocoder");
    return lookup;
}

} // namespace

MetNorwaySource::MetNorwaySource(std::unique_ptr<UpstreamClient> client, QUrl url,
                                 WeatherSource* places, ForecastCopyStore& copies,
                                 const ZoneDatabase& zones, GatewayClock clock, GatewayLog log)
    : m_url(std::move(url)), m_places(places), m_copies(copies), m_zones(zones),
      m_clock(std::move(clock)), m_log(std::move(log)), m_gate(servicePolicy, m_clock),
      m_client(std::move(client))
{
}

QUrl MetNorwaySource::defaultUrl()
{
    return QUrl(QStringLiteral("https://api.met.no/weatherapi/locationforecast/2.0"));
}

UpstreamClient::Limits MetNorwaySource::clientLimits(UpstreamClient::Limits limits)
{
    limits.httpsRedirects = 2;
    limits.unknownRateLimitWait = std::chrono::minutes(10);
    return limits;
}

QString MetNorwaySource::coordinatesQuery(const Place& place)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("lat"), coordinateText(place.latitude));
    query.addQueryItem(QStringLiteral("lon"), coordinateText(place.longitude));
    if (place.elevation)
        query.addQueryItem(QStringLiteral("altitude"),
                           QString::number(std::lround(*place.elevation)));
    return query.query();
}

void MetNorwaySource::searchPlaces(const QString& words, std::function<void(PlaceLookup)> done)
{
    if (m_places)
        m_places->searchPlaces(words, std::move(done));
    else
        done(noGeocoder());
}

void MetNorwaySource::lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done)
{
    if (m_places)
        m_places->lookupPlace(id, std::move(done));
    else
        done(noGeocoder());
}

bool MetNorwaySource::keepsPlacesOnDisk() const
{
    return m_places && m_places->keepsPlacesOnDisk();
}

void MetNorwaySource::noteZone(const Place& place)
{
    if (m_zones.find(place.timeZone.toStdString()) || m_zonelessLogged.contains(place.placeId))
        return;
    m_zonelessLogged.insert(place.placeId);
    m_log.write(QStringLiteral("place %1 has no known time zone (\"%2\"): its feed from MET "
                               "Norway is in UTC")
                    .arg(place.placeId, place.timeZone));
}

void MetNorwaySource::fetchForecast(const Place& place, Units units,
                                    std::function<void(ForecastFetch)> done)
{
    noteZone(place);
    const QString query = coordinatesQuery(place);
    QUrl url = UpstreamClient::endpointUrl(m_url, QStringLiteral("compact"));
    url.setQuery(query);
    // The copy's key is the coordinates alone, as asked: "55.7558,37.6172,144".
    QString key = query;
    key.remove(QStringLiteral("lat="))
        .remove(QStringLiteral("lon="))
        .remove(QStringLiteral("altitude="));
    key.replace(QLatin1Char('&'), QLatin1Char(','));

    auto build = [this, place, units, done = std::move(done)](const CopyOutcome& outcome) {
        if (!outcome.copy) {
            done(outcome.failed);
            return;
        }
        done(forecastFrom(*outcome.copy, place, units));
    };
    const std::optional<ForecastCopy> kept = m_copies.load(key);
    if (kept && kept->expires.isValid() && m_clock() < kept->expires) {
        build(CopyOutcome{kept, {}});
        return;
    }
    if (m_refusedUntil.isValid() && m_clock() < m_refusedUntil) {
        build(CopyOutcome{std::nullopt,
                          {std::nullopt,
                           QStringLiteral("identification refused, holding off until %1")
                               .arg(m_refusedUntil.toString(Qt::ISODate)),
                           ForecastFetch::Failure::Refused, m_refusedUntil}});
        return;
    }
    if (m_asking.join(key, std::move(build)))
        ask(key, url, kept);
}

void MetNorwaySource::ask(const QString& key, const QUrl& url,
                          const std::optional<ForecastCopy>& kept)
{
    UpstreamClient::Headers headers;
    // Verbatim, as MET asks: its own text is what it compares.
    if (kept && !kept->lastModified.isEmpty())
        headers.append({QByteArrayLiteral("If-Modified-Since"), kept->lastModified});
    m_client->get(m_gate, url, headers, [this, key, url, kept](UpstreamReply reply) {
        m_asking.finish(key, take(key, url, kept, reply));
    });
}

MetNorwaySource::CopyOutcome MetNorwaySource::take(const QString& key, const QUrl& url,
                                                   const std::optional<ForecastCopy>& kept,
                                                   const UpstreamReply& reply)
{
    const QDateTime now = m_clock();
    if (reply.outcome == UpstreamReply::Outcome::NotModified) {
        if (!kept) {
            const QString why = QStringLiteral("304 without a copy asked about");
            m_client->reportUnreadable(url, why);
            return CopyOutcome{std::nullopt,
                               {std::nullopt, why, ForecastFetch::Failure::Unreadable, {}}};
        }
        ForecastCopy copy = *kept;
        copy.expires = parseHttpDate(reply.header("Expires"));
        copy.checkedAt = now;
        m_copies.save(key, copy);
        return CopyOutcome{copy, {}};
    }
    if (reply.outcome != UpstreamReply::Outcome::Ok) {
        if (reply.outcome == UpstreamReply::Outcome::HttpError && reply.httpStatus == 403) {
            const QDateTime until = now.addSecs(refusedHoldSeconds);
            m_refusedUntil = until;
            m_gate.closeUntil(until);
            m_log.write(QStringLiteral("upstream %1 refused the gateway's identification (status "
                                       "403; its User-Agent names it, with --contact): no "
                                       "requests until %2")
                            .arg(url.adjusted(QUrl::RemoveQuery).toString(),
                                 until.toUTC().toString(Qt::ISODate)));
        }
        // After a 403 the closed gate says until when.
        return CopyOutcome{std::nullopt, failedFetch(reply, m_gate)};
    }
    if (reply.httpStatus == 203 && !m_deprecationLogged) {
        m_deprecationLogged = true;
        m_log.write(QStringLiteral("upstream %1 answers 203: this version of its product is "
                                   "deprecated and will end; a newer gateway is needed soon")
                        .arg(url.adjusted(QUrl::RemoveQuery).toString()));
    }
    const MetNorwayReadResult read = readMetNorwayJson(reply.body);
    if (!read.steps) {
        m_client->reportUnreadable(url, read.error);
        return CopyOutcome{std::nullopt,
                           {std::nullopt, read.error, ForecastFetch::Failure::Unreadable, {}}};
    }
    ForecastCopy copy;
    copy.document = reply.body;
    copy.lastModified = reply.header("Last-Modified").trimmed();
    copy.expires = parseHttpDate(reply.header("Expires"));
    copy.checkedAt = now;
    if (kept) {
        const MetNorwayReadResult older = readMetNorwayJson(kept->document);
        copy.pastHours =
            pastHoursBefore(older.steps.value_or(QList<MetNorwayStep>()), kept->pastHours,
                            read.steps->first().time, now.addSecs(-pastHoursKeptSeconds));
    }
    m_copies.save(key, copy);
    return CopyOutcome{copy, {}};
}

ForecastFetch MetNorwaySource::forecastFrom(const ForecastCopy& copy, const Place& place,
                                            Units units) const
{
    const MetNorwayReadResult read = readMetNorwayJson(copy.document);
    ForecastReadResult result{std::nullopt, read.error};
    if (read.steps) {
        const std::shared_ptr<const ZoneRules> zone = placeZone(m_zones, place.timeZone, 0);
        result = buildMetNorwayForecast(*read.steps, copy.pastHours, place, *zone, m_clock(),
                                        copy.checkedAt, units);
    }
    if (!result.forecast) {
        m_client->reportUnreadable(UpstreamClient::endpointUrl(m_url, QStringLiteral("compact")),
                                   result.error);
        return ForecastFetch{std::nullopt, result.error, ForecastFetch::Failure::Unreadable, {}};
    }
    return ForecastFetch{std::move(result.forecast), {}, ForecastFetch::Failure::None, {}};
}

} // namespace brisora::gateway
