#pragma once

#include "RequestPacer.h"
#include "UpstreamClient.h"
#include "WeatherSource.h"

#include <QUrl>
#include <memory>

namespace brisora::gateway {

/// OpenStreetMap's geocoder, which knows landmarks and postcodes, asked the way its usage
/// policy wants: one request at a time, a little over a second apart, with the client's
/// identifying User-Agent. Its answers are meant to be kept for good by the caller (a
/// place search's "nothing found" included, so it says so with `PlaceLookup::lasting`).
class NominatimGeocoder
{
public:
    /// `baseUrl` is the service's root, to which "/search" and "/lookup" are added.
    NominatimGeocoder(std::unique_ptr<UpstreamClient> client, QUrl baseUrl);

    /// Places matching `words`, best first (at most five).
    void search(const QString& words, std::function<void(PlaceLookup)> done);
    /// The OpenStreetMap object behind `id`; NotFound for an id of another kind.
    void lookup(const PlaceId& id, std::function<void(PlaceLookup)> done);

    UpstreamClient& client() { return *m_client; }
    static QUrl defaultUrl();

private:
    void ask(const QString& endpoint, const QList<std::pair<QString, QString>>& parameters,
             bool lasting, std::function<void(PlaceLookup)> done);

    // Declared first so it outlives the client: a reply that ends during the client's
    // teardown may still report to it.
    RequestPacer m_pacer;
    std::unique_ptr<UpstreamClient> m_client;
    QUrl m_baseUrl;
};

} // namespace brisora::gateway
