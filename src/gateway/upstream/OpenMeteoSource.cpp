#include "OpenMeteoSource.h"

#include "FailedFetch.h"
#include "ForecastJsonReader.h"
#include "GeocoderReply.h"
#include "GeocodingJsonReader.h"

#include <QUrlQuery>

namespace brisora::gateway {
namespace {

// The geocoder answers an id it does not know with 400 or 404.
bool isUnknownIdReply(const UpstreamReply& reply)
{
    return reply.outcome == UpstreamReply::Outcome::HttpError &&
           (reply.httpStatus == 400 || reply.httpStatus == 404);
}

// The forecast API runs one request per client at a time and refuses a sixth waiting one;
// two in flight keep it busy without ever coming near that.
const UpstreamGate::Rules servicePolicy{2, std::chrono::milliseconds(0)};

void addApiKey(QUrlQuery& query, const QString& key)
{
    if (!key.isEmpty())
        query.addQueryItem(QStringLiteral("apikey"),
                           QString::fromLatin1(QUrl::toPercentEncoding(key)));
}

} // namespace

OpenMeteoSource::OpenMeteoSource(std::unique_ptr<UpstreamClient> client, QUrl forecastUrl,
                                 QUrl geocodingUrl, GatewayClock clock,
                                 std::unique_ptr<NominatimGeocoder> landmarks, QString apiKey)
    : m_forecastUrl(std::move(forecastUrl)), m_geocodingUrl(std::move(geocodingUrl)),
      m_clock(std::move(clock)), m_apiKey(std::move(apiKey)),
      m_forecastGate(servicePolicy, m_clock), m_geocoderGate(servicePolicy, m_clock),
      m_landmarks(std::move(landmarks)), m_client(std::move(client))
{
}

QUrl OpenMeteoSource::defaultForecastUrl()
{
    return QUrl(QStringLiteral("https://api.open-meteo.com/v1/forecast"));
}

QUrl OpenMeteoSource::defaultGeocodingUrl()
{
    return QUrl(QStringLiteral("https://geocoding-api.open-meteo.com/v1"));
}

void OpenMeteoSource::searchPlaces(const QString& words, std::function<void(PlaceLookup)> done)
{
    QUrl url = UpstreamClient::endpointUrl(m_geocodingUrl, QStringLiteral("search"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("name"), QString::fromLatin1(QUrl::toPercentEncoding(words)));
    query.addQueryItem(QStringLiteral("count"), QString::number(maxSearchResults));
    query.addQueryItem(QStringLiteral("language"), QStringLiteral("en"));
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("json"));
    addApiKey(query, m_apiKey);
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    m_client->get(
        m_geocoderGate, url, [this, url, words, done = std::move(done)](UpstreamReply reply) {
            PlaceLookup lookup = lookupFromReply(*m_client, url, reply, &readGeocodingSearchJson);
            if (!m_landmarks || lookup.outcome == PlaceLookup::Outcome::Found) {
                done(std::move(lookup));
            } else if (lookup.outcome == PlaceLookup::Outcome::NotFound) {
                m_landmarks->search(words, done);
            } else {
                m_landmarks->search(
                    words, [failure = std::move(lookup), done](PlaceLookup landmarks) {
                        done(landmarks.outcome == PlaceLookup::Outcome::Found ? std::move(landmarks)
                                                                              : failure);
                    });
            }
        });
}

void OpenMeteoSource::lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done)
{
    if (id.isOsm() && m_landmarks) {
        m_landmarks->lookup(id, std::move(done));
        return;
    }
    if (id.kind() != PlaceId::Kind::Geocoder) {
        done(PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}});
        return;
    }
    QUrl url = UpstreamClient::endpointUrl(m_geocodingUrl, QStringLiteral("get"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("id"), QString::number(id.sourceId()));
    query.addQueryItem(QStringLiteral("language"), QStringLiteral("en"));
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("json"));
    addApiKey(query, m_apiKey);
    url.setQuery(query);
    m_client->get(m_geocoderGate, url, [this, url, done = std::move(done)](UpstreamReply reply) {
        if (isUnknownIdReply(reply))
            done(PlaceLookup{PlaceLookup::Outcome::NotFound, {}, reply.error});
        else
            done(lookupFromReply(*m_client, url, reply, &readGeocodedPlaceJson));
    });
}

void OpenMeteoSource::fetchForecast(const Place& place, Units units,
                                    std::function<void(ForecastFetch)> done)
{
    const bool metric = units == Units::Metric;
    QUrl url = m_forecastUrl;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("latitude"), QString::number(place.latitude, 'f', 4));
    query.addQueryItem(QStringLiteral("longitude"), QString::number(place.longitude, 'f', 4));
    // Every variable counts: the service bills a call per ten of them (see docs/gateway.md).
    query.addQueryItem(QStringLiteral("current"),
                       QStringLiteral("temperature_2m,apparent_temperature,relative_humidity_2m,"
                                      "weather_code,wind_speed_10m,wind_direction_10m,"
                                      "pressure_msl,visibility"));
    query.addQueryItem(QStringLiteral("daily"),
                       QStringLiteral("weather_code,temperature_2m_max,temperature_2m_min,"
                                      "sunrise,sunset"));
    query.addQueryItem(QStringLiteral("timezone"), QStringLiteral("auto"));
    query.addQueryItem(QStringLiteral("forecast_days"), QString::number(feedForecastDays));
    query.addQueryItem(QStringLiteral("temperature_unit"),
                       metric ? QStringLiteral("celsius") : QStringLiteral("fahrenheit"));
    query.addQueryItem(QStringLiteral("wind_speed_unit"),
                       metric ? QStringLiteral("kmh") : QStringLiteral("mph"));
    addApiKey(query, m_apiKey);
    url.setQuery(query);
    m_client->get(m_forecastGate, url, [this, url, done = std::move(done)](UpstreamReply reply) {
        if (reply.outcome != UpstreamReply::Outcome::Ok) {
            done(failedFetch(reply, m_forecastGate));
            return;
        }
        ForecastReadResult result = readForecastJson(reply.body, m_clock());
        if (!result.forecast)
            m_client->reportUnreadable(url, result.error);
        const ForecastFetch::Failure failure =
            result.forecast ? ForecastFetch::Failure::None : ForecastFetch::Failure::Unreadable;
        done(ForecastFetch{std::move(result.forecast), result.error, failure, {}});
    });
}

} // namespace brisora::gateway
