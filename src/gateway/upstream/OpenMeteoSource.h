#pragma once

#include "GatewayClock.h"
#include "NominatimGeocoder.h"
#include "UpstreamClient.h"
#include "WeatherSource.h"

#include <QUrl>
#include <memory>

namespace brisora::gateway {

/// The live source: Open-Meteo's geocoder and forecast service. Only ever asks the two
/// kinds of look-up, at the two configured base URLs, with parameters it builds itself.
/// Each service has its own gate: at most two requests at once to it, the rest waiting, and
/// a rate limit of one leaves the other alone. Words its geocoder finds nothing for
/// (landmarks, most postcodes) go on to `landmarks`, OpenStreetMap's geocoder, when one is
/// given; so do look-ups of OpenStreetMap ids, and words the geocoder failed on (of which
/// only places found count: the geocoder might have known them). A non-empty `apiKey` goes
/// with every request to both services.
class OpenMeteoSource : public WeatherSource
{
public:
    /// `forecastUrl` is the forecast endpoint itself (".../v1/forecast"); `geocodingUrl` the
    /// geocoder's base (".../v1"), to which "/search" and "/get" are added.
    OpenMeteoSource(std::unique_ptr<UpstreamClient> client, QUrl forecastUrl, QUrl geocodingUrl,
                    GatewayClock clock, std::unique_ptr<NominatimGeocoder> landmarks = nullptr,
                    QString apiKey = {});

    void searchPlaces(const QString& words, std::function<void(PlaceLookup)> done) override;
    void lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done) override;
    void fetchForecast(const Place& place, Units units,
                       std::function<void(ForecastFetch)> done) override;
    bool keepsPlacesOnDisk() const override { return true; }

    UpstreamGate& forecastGate() { return m_forecastGate; }
    UpstreamGate& geocoderGate() { return m_geocoderGate; }

    static QUrl defaultForecastUrl();
    static QUrl defaultGeocodingUrl();

private:
    QUrl m_forecastUrl;
    QUrl m_geocodingUrl;
    GatewayClock m_clock;
    QString m_apiKey;
    UpstreamGate m_forecastGate;
    UpstreamGate m_geocoderGate;
    std::unique_ptr<NominatimGeocoder> m_landmarks; // may be null
    // Last, so it goes first: no reply of its outlives the gates or this source.
    std::unique_ptr<UpstreamClient> m_client;
};

} // namespace brisora::gateway
