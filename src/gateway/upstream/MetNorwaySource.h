#pragma once

#include "ForecastCopyStore.h"
#include "GatewayClock.h"
#include "GatewayLog.h"
#include "RequestCoalescer.h"
#include "UpstreamClient.h"
#include "WeatherSource.h"
#include "ZoneDatabase.h"

#include <QSet>
#include <QUrl>
#include <memory>

namespace brisora::gateway {

/// The forecast from MET Norway's Locationforecast 2.0 ("compact"), by MET's terms: the
/// coordinates cut to four decimals and the place's elevation when known; the document kept
/// per coordinates with its Expires and Last-Modified (in `copies`, on disk), never asked for
/// again before Expires, and after it asked with If-Modified-Since, a 304 keeping the copy;
/// a 429 holds MET off for its Retry-After (else ten minutes), a 403 (identification refused)
/// for an hour, both logged; a 203 (a deprecated version) is used, and logged once. Requests
/// for the same coordinates share one upstream call. MET has no geocoder: places are searched
/// and looked up through `places`, which must outlive this source; without one (as the
/// fallback of a source that has a geocoder) every search and look-up fails. Failures say
/// their kind, and a hold-off its end.
class MetNorwaySource : public WeatherSource
{
public:
    /// `url` is Locationforecast's base (".../locationforecast/2.0"), to which "/compact" is
    /// added. `client` should have been made with `clientLimits`.
    MetNorwaySource(std::unique_ptr<UpstreamClient> client, QUrl url, WeatherSource* places,
                    ForecastCopyStore& copies, const ZoneDatabase& zones, GatewayClock clock,
                    GatewayLog log);

    void searchPlaces(const QString& words, std::function<void(PlaceLookup)> done) override;
    void lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done) override;
    /// From the kept copy while it has not expired, else from MET; in the place's zone (UTC,
    /// logged once, for a place whose zone is unknown).
    void fetchForecast(const Place& place, Units units,
                       std::function<void(ForecastFetch)> done) override;
    bool keepsPlacesOnDisk() const override;

    UpstreamGate& gate() { return m_gate; }

    static QUrl defaultUrl();
    /// `limits` with what MET asks of a client: two redirects followed (to https on the same
    /// host), and ten minutes' rest after a 429 that does not say how long.
    static UpstreamClient::Limits clientLimits(UpstreamClient::Limits limits);
    /// "lat=59.9139&lon=10.7522&altitude=23": the coordinates cut (not rounded) to at most
    /// four decimals, trailing zeros dropped, and the elevation in whole metres when known.
    static QString coordinatesQuery(const Place& place);

private:
    /// A kept copy, or why there is none.
    struct CopyOutcome
    {
        std::optional<ForecastCopy> copy;
        ForecastFetch failed; // without a copy: the fetch it comes to
    };

    void ask(const QString& key, const QUrl& url, const std::optional<ForecastCopy>& kept);
    CopyOutcome take(const QString& key, const QUrl& url, const std::optional<ForecastCopy>& kept,
                     const UpstreamReply& reply);
    ForecastFetch forecastFrom(const ForecastCopy& copy, const Place& place, Units units) const;
    void noteZone(const Place& place);

    QUrl m_url;
    WeatherSource* m_places; // may be null
    ForecastCopyStore& m_copies;
    const ZoneDatabase& m_zones;
    GatewayClock m_clock;
    GatewayLog m_log;
    UpstreamGate m_gate;
    RequestCoalescer<CopyOutcome> m_asking; // a key here has a request under way
    QSet<QString> m_zonelessLogged;
    bool m_deprecationLogged = false;
    QDateTime m_refusedUntil; // after a 403: the gate is closed, and this says why
    // Last, so it goes first: no reply of its outlives the gate or this source.
    std::unique_ptr<UpstreamClient> m_client;
};

} // namespace brisora::gateway
