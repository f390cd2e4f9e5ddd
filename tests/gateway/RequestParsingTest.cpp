#include "GatewayRequest.h"
#include "HttpRequestHead.h"
#include "PlaceId.h"
#include "QueryDecoding.h"

#include <gtest/gtest.h>

using namespace brisora::gateway;

namespace {

// Exactly what the widget sends, CR LF line ends included.
std::string widgetRequest(const std::string& path)
{
    return "GET " + path +
           " HTTP/1.1\r\nAccept: */*\r\nAccept-Language: en-us\r\nAccept-Encoding: \r\n"
           "User-Agent: \r\nHost: 127.0.0.1:8417\r\nConnection: Keep-Alive\r\n\r\n";
}

GatewayRequest route(const std::string& request)
{
    const HeadParseResult parsed = parseRequestHead(request);
    EXPECT_EQ(parsed.state, HeadParseResult::State::Complete) << request;
    return routeRequest(parsed.head);
}

int rejectedStatus(const GatewayRequest& request)
{
    const auto* rejected = std::get_if<RejectedRequest>(&request);
    return rejected ? rejected->status : 0;
}

const std::string searchPrefix =
    "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20";

} // namespace

TEST(RequestHead, WidgetFeedRequestIsCompleteAndKeepsAlive)
{
    const std::string request = widgetRequest("/forecastrss?w=5005037649&u=c");
    const HeadParseResult parsed = parseRequestHead(request + "GET /next");
    ASSERT_EQ(parsed.state, HeadParseResult::State::Complete);
    EXPECT_EQ(parsed.headLength, request.size()); // the pipelined rest is left alone
    EXPECT_EQ(parsed.head.method, "GET");
    EXPECT_EQ(parsed.head.target, "/forecastrss?w=5005037649&u=c");
    EXPECT_TRUE(parsed.head.keepAlive);
    EXPECT_FALSE(parsed.head.hasBody);
}

TEST(RequestHead, PartialHeadNeedsMoreUntilTheEmptyLine)
{
    const std::string request = widgetRequest("/forecastrss?w=1");
    for (std::size_t cut = 0; cut < request.size(); ++cut)
        EXPECT_EQ(parseRequestHead(request.substr(0, cut)).state, HeadParseResult::State::NeedMore)
            << cut;
}

TEST(RequestHead, BareLineFeedsAndLeadingEmptyLinesAreAccepted)
{
    const HeadParseResult parsed = parseRequestHead("\r\n\nGET /x HTTP/1.0\nHost: a\n\n");
    ASSERT_EQ(parsed.state, HeadParseResult::State::Complete);
    EXPECT_EQ(parsed.head.target, "/x");
    EXPECT_FALSE(parsed.head.keepAlive); // HTTP/1.0 without keep-alive
}

TEST(RequestHead, ConnectionTokensDecideKeepAlive)
{
    EXPECT_FALSE(parseRequestHead("GET / HTTP/1.1\r\nConnection: Close\r\n\r\n").head.keepAlive);
    EXPECT_TRUE(
        parseRequestHead("GET / HTTP/1.0\r\nConnection: TE, keep-alive\r\n\r\n").head.keepAlive);
}

TEST(RequestHead, OversizedHeadsGet431EvenBeforeTheyEnd)
{
    const std::string huge = "GET /forecastrss?w=1 HTTP/1.1\r\nX-Pad: " + std::string(9000, 'a');
    EXPECT_EQ(parseRequestHead(huge).status, 431);
    EXPECT_EQ(parseRequestHead(huge + "\r\n\r\n").status, 431);
    EXPECT_EQ(parseRequestHead(std::string(9000, '\n')).status, 431);
}

TEST(RequestHead, MalformedHeadsAreRejected)
{
    const std::pair<std::string, int> cases[] = {
        {"GET\r\n\r\n", 400},
        {"GET /x\r\n\r\n", 400},
        {"GET  /x HTTP/1.1\r\n\r\n", 400},        // empty target
        {"GET x HTTP/1.1\r\n\r\n", 400},          // not an absolute path
        {"GET http://a/x HTTP/1.1\r\n\r\n", 400}, // absolute form: no proxying here
        {"G(T /x HTTP/1.1\r\n\r\n", 400},         // method is not a token
        {"GET /x HTTP/1.1\r\nBad Header: 1\r\n\r\n", 400},
        {"GET /x HTTP/1.1\r\nNoColon\r\n\r\n", 400},
        {"GET /x HTTP/1.1\r\nA: 1\r\n folded\r\n\r\n", 400},
        {"GET /x HTTP/1.1\r\nContent-Length: 1x\r\n\r\n", 400},
        {"GET /x HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 0\r\n\r\n", 400},
        {"GET /x HTTP/2.0\r\n\r\n", 505},
        {"GET /x HTTP/1.x\r\n\r\n", 400},
        {"GET /x FTP/1.1\r\n\r\n", 400},
        {std::string("GET /a\0b HTTP/1.1\r\n\r\n", 22), 400},
    };
    for (const auto& [request, status] : cases) {
        const HeadParseResult parsed = parseRequestHead(request);
        EXPECT_EQ(parsed.state, HeadParseResult::State::Invalid) << request;
        EXPECT_EQ(parsed.status, status) << request;
    }
}

TEST(RequestRouting, FeedRequestsCarryIdAndUnits)
{
    const auto metric =
        std::get<FeedRequest>(route(widgetRequest("/forecastrss?w=5005037649&u=c")));
    EXPECT_EQ(metric.placeIdText, "5005037649");
    EXPECT_EQ(metric.units, Units::Metric);
    const auto imperial = std::get<FeedRequest>(route(widgetRequest("/forecastrss?u=f&w=12")));
    EXPECT_EQ(imperial.placeIdText, "12");
    EXPECT_EQ(imperial.units, Units::Imperial);
}

TEST(RequestRouting, BadFeedRequestsGetShort4xx)
{
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss"))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss?w="))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss?w=12a"))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss?w=-12"))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss?w=%2012"))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/forecastrss/extra?w=1"))), 404);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/"))), 404);
    EXPECT_EQ(rejectedStatus(route("POST /forecastrss?w=1 HTTP/1.1\r\n\r\n")), 405);
    EXPECT_EQ(rejectedStatus(route("HEAD /forecastrss?w=1 HTTP/1.1\r\n\r\n")), 405);
    EXPECT_EQ(rejectedStatus(route("GET /forecastrss?w=1 HTTP/1.1\r\nContent-Length: 3\r\n\r\n")),
              400);
}

TEST(RequestRouting, SearchWordsAreDecoded)
{
    const std::pair<std::string, QString> cases[] = {
        {"'Eiffel%20Tower'", QStringLiteral("Eiffel Tower")},
        {"'New+York'", QStringLiteral("New York")},
        {"'%20%20Los%20%20Angeles%20'", QStringLiteral("Los Angeles")},
        {"'Val%20d%27Is%C3%A8re'", QStringLiteral("Val d'Is\u00e8re")},
        {"%27Z%C3%BCrich%27", QStringLiteral("Z\u00fcrich")},
        {"'M%FCnchen'", QStringLiteral("M\u00fcnchen")}, // Latin-1 when not UTF-8
        {"'C%2B%2B'", QStringLiteral("C++")},
        {"''", QString()},
    };
    for (const auto& [quoted, words] : cases) {
        const GatewayRequest request = route(widgetRequest(searchPrefix + quoted));
        ASSERT_TRUE(std::holds_alternative<PlaceSearchRequest>(request)) << quoted;
        EXPECT_EQ(std::get<PlaceSearchRequest>(request).words, words) << quoted;
    }
}

TEST(RequestRouting, OtherQueriesAreRejected)
{
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/v1/public/yql"))), 400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest("/v1/public/yql?q=select%20*%20from%20weather"))),
              400);
    EXPECT_EQ(rejectedStatus(route(widgetRequest(searchPrefix + "'unclosed"))), 400);
    EXPECT_EQ(
        rejectedStatus(route(widgetRequest(searchPrefix + "'" + std::string(201, 'a') + "'"))),
        400);
}

TEST(QueryDecoding, MalformedEscapesStayLiteral)
{
    EXPECT_EQ(decodeQueryComponent("100%"), "100%");
    EXPECT_EQ(decodeQueryComponent("%zz%4"), "%zz%4");
    EXPECT_EQ(decodeQueryComponent("%41+%2b"), "A +");
    EXPECT_EQ(decodeQueryComponent("%00").size(), 1);
    EXPECT_EQ(queryValue("a=1&b&c=3", "b"), QByteArray(""));
    EXPECT_FALSE(queryValue("ab=1", "a").has_value());
}

TEST(PlaceIdScheme, NeverCollidesWithOldIdsOrTheNoPlaceValue)
{
    const std::optional<PlaceId> geocoded = PlaceId::fromGeocoderId(5037649);
    ASSERT_TRUE(geocoded);
    EXPECT_EQ(geocoded->toString(), QStringLiteral("5005037649"));
    EXPECT_GT(geocoded->toString().toLongLong(), 4294967295LL);
    EXPECT_EQ(PlaceId::parse("5005037649"), geocoded);
    EXPECT_EQ(PlaceId::fromDemoIndex(20)->toString(), QStringLiteral("6000000020"));

    // OpenStreetMap objects: "7", the type digit, the object's id in twelve digits.
    const std::optional<PlaceId> way = PlaceId::fromOsm(PlaceId::Kind::OsmWay, 5013364);
    ASSERT_TRUE(way);
    EXPECT_EQ(way->toString(), QStringLiteral("72000005013364"));
    EXPECT_EQ(PlaceId::parse("72000005013364"), way);
    EXPECT_EQ(PlaceId::parse("71999999999999"),
              PlaceId::fromOsm(PlaceId::Kind::OsmNode, 999'999'999'999));
    EXPECT_EQ(PlaceId::parse("73000000000001")->kind(), PlaceId::Kind::OsmRelation);
    EXPECT_FALSE(PlaceId::fromOsm(PlaceId::Kind::Geocoder, 5).has_value());
    EXPECT_FALSE(PlaceId::fromOsm(PlaceId::Kind::OsmNode, 1'000'000'000'000).has_value());

    // Old 32-bit ids, the widget's "no place" value, edges and junk are not ours.
    for (const char* text :
         {"2459115", "99999999", "4294967295", "5000000000", "6000000000", "7000000001",
          "05005037649", "99999999999999999999999", "", "70000005013364", "74000005013364",
          "71000000000000", "7200000501336", "720000050133640"})
        EXPECT_FALSE(PlaceId::parse(text).has_value()) << text;
    EXPECT_FALSE(PlaceId::fromGeocoderId(0).has_value());
    EXPECT_FALSE(PlaceId::fromGeocoderId(1'000'000'000).has_value());
}
