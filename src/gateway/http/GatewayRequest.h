#pragma once

#include "Forecast.h"
#include "HttpRequestHead.h"

#include <QByteArray>
#include <QString>
#include <variant>

namespace brisora::gateway {

/// `GET /forecastrss?w=ID[&u=c]`.
struct FeedRequest
{
    QByteArray placeIdText; // decimal digits, not yet checked against the id scheme
    Units units = Units::Imperial;
};

/// `GET /v1/public/yql?q=select * from geo.places where text = 'WORDS'`.
struct PlaceSearchRequest
{
    QString words; // folded and trimmed; may be empty
};

/// Anything else: answered with a short reply of this status.
struct RejectedRequest
{
    int status = 400;
};

using GatewayRequest = std::variant<FeedRequest, PlaceSearchRequest, RejectedRequest>;

/// Longest search text, in characters, that is passed on to a geocoder.
inline constexpr qsizetype maxSearchWords = 200;

/// Sorts a parsed request head into one of the two look-ups the gateway answers. Only GET
/// is allowed (405 otherwise); a request with a body is 400; any other path is 404; a feed
/// request without `w` or with a `w` that is not all digits is 400, and so is a search whose
/// `q` is missing, has another shape, or has more than `maxSearchWords` characters of words.
/// `u=c` selects metric units, any other `u` or none imperial.
GatewayRequest routeRequest(const HttpRequestHead& head);

} // namespace brisora::gateway
