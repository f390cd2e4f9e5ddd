#include "GeocoderReply.h"

namespace brisora::gateway {

PlaceLookup lookupFromReply(const UpstreamClient& client, const QUrl& url,
                            const UpstreamReply& reply, GeocodingReadResult (*read)(QByteArrayView),
                            bool lasting)
{
    if (reply.outcome != UpstreamReply::Outcome::Ok)
        return PlaceLookup{PlaceLookup::Outcome::Failed, {}, reply.error};
    GeocodingReadResult result = read(reply.body);
    if (!result.places) {
        client.reportUnreadable(url, result.error);
        return PlaceLookup{PlaceLookup::Outcome::Failed, {}, result.error};
    }
    if (result.places->isEmpty())
        return PlaceLookup{PlaceLookup::Outcome::NotFound, {}, {}, lasting};
    return PlaceLookup{PlaceLookup::Outcome::Found, std::move(*result.places), {}, lasting};
}

} // namespace brisora::gateway
