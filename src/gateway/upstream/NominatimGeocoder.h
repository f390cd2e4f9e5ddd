#pragma once

#include "GatewayClock.h"
#include "UpstreamClient.h"
#include "UpstreamGate.h"
#include "WeatherSource.h"

#include <QUrl>
#include <memory>

namespace brisora::gateway {

/// OpenStreetMap's geocoder, which knows landmarks and postcodes, asked the way its usage
/// policy wants: through a gate of its own that lets one request out at a time, each a
/// little over a second after the one before, with the client's identifying User-Agent; a
/// 429 closes that gate alone. Its answers are meant to be kept for good by the caller (a
/// place search's "nothing found" included, so it says so with `PlaceLookup::lasting`).
class NominatimGeocoder
{
public:
    /// `baseUrl` is the service's root, to which "/search" and "/lookup" are added.
    NominatimGeocoder(std::unique_ptr<UpstreamClient> client, QUrl baseUrl, GatewayClock clock);

    /// Places matching `words`, best first (at most five).
    void search(const QString& words, std::function<void(PlaceLookup)> done);
    /// The OpenStreetMap object behind `id`; NotFound for an id of another kind.
    void lookup(const PlaceId& id, std::function<void(PlaceLookup)> done);

    UpstreamGate& gate() { return m_gate; }
    static QUrl defaultUrl();

private:
    void ask(const QString& endpoint, const QList<std::pair<QString, QString>>& parameters,
             bool lasting, std::function<void(PlaceLookup)> done);

    QUrl m_baseUrl;
    UpstreamGate m_gate;
    // Last, so it goes first: no reply of its outlives the gate or this geocoder.
    std::unique_ptr<UpstreamClient> m_client;
};

} // namespace brisora::gateway
