#pragma once

#include "GeocodingJsonReader.h"
#include "UpstreamClient.h"
#include "UpstreamReply.h"
#include "WeatherSource.h"

#include <QByteArrayView>
#include <QUrl>

namespace brisora::gateway {

/// What a geocoder's reply to `url` comes to, its body read with `read`: Failed when the
/// request failed or the body cannot be read (the latter reported to `client`), NotFound
/// when it lists no place, else Found. `lasting` marks a NotFound or Found answer as one to
/// keep for good.
PlaceLookup lookupFromReply(const UpstreamClient& client, const QUrl& url,
                            const UpstreamReply& reply, GeocodingReadResult (*read)(QByteArrayView),
                            bool lasting = false);

} // namespace brisora::gateway
