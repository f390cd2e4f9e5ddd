#include "GatewayRequest.h"

#include "PlaceId.h"
#include "QueryDecoding.h"

namespace brisora::gateway {
namespace {

GatewayRequest routeFeed(std::string_view query)
{
    const std::optional<QByteArray> id = queryValue(query, "w");
    if (!id || !PlaceId::isNumeric(std::string_view(id->constData(), id->size())))
        return RejectedRequest{400};
    const std::optional<QByteArray> unit = queryValue(query, "u");
    return FeedRequest{*id, unit && *unit == "c" ? Units::Metric : Units::Imperial};
}

GatewayRequest routeSearch(std::string_view query)
{
    const std::optional<QByteArray> q = queryValue(query, "q");
    if (!q)
        return RejectedRequest{400};
    const std::optional<QString> words = placeQueryWords(textFromBytes(*q));
    if (!words || words->size() > maxSearchWords)
        return RejectedRequest{400};
    return PlaceSearchRequest{*words};
}

} // namespace

GatewayRequest routeRequest(const HttpRequestHead& head)
{
    if (head.method != "GET")
        return RejectedRequest{405};
    if (head.hasBody)
        return RejectedRequest{400};
    const std::string_view target = head.target;
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
    if (path == "/forecastrss")
        return routeFeed(query);
    if (path == "/v1/public/yql")
        return routeSearch(query);
    return RejectedRequest{404};
}

} // namespace brisora::gateway
