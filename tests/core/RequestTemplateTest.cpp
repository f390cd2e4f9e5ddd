#include "feed/RequestTemplate.h"

#include <gtest/gtest.h>

using namespace brisora;

TEST(RequestTemplate, FeedRequestBytesForBothUnits)
{
    EXPECT_EQ(buildRequest(feedPath("2459115", 1), "127.0.0.1:8417"),
              "GET /forecastrss?w=2459115&u=c HTTP/1.1\r\n"
              "Accept: */*\r\n"
              "Accept-Language: en-us\r\n"
              "Accept-Encoding: \r\n"
              "User-Agent: \r\n"
              "Host: 127.0.0.1:8417\r\n"
              "Connection: Keep-Alive\r\n"
              "\r\n");
    for (int units : {0, 2, -1})
        EXPECT_EQ(feedPath("2459115", units), "/forecastrss?w=2459115") << units;
}

TEST(RequestTemplate, WoeidGoesOutUntrimmedButCannotBreakTheRequest)
{
    EXPECT_EQ(feedPath("12a", 0), "/forecastrss?w=12a");
    EXPECT_EQ(feedPath(" 12", 0), "/forecastrss?w=%2012");
    EXPECT_EQ(feedPath("1\r\nHost: x", 0), "/forecastrss?w=1%0D%0AHost:%20x");
}

TEST(RequestTemplate, SearchWordsAreQuotedAndEscaped)
{
    const std::string prefix =
        "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20";
    EXPECT_EQ(searchPath("Eiffel Tower"), prefix + "'Eiffel%20Tower'");
    EXPECT_EQ(quotedSearchWords("a  b"), "'a%20%20b'");
    EXPECT_EQ(quotedSearchWords("Rome "), "'Rome%20'");
    EXPECT_EQ(quotedSearchWords(""), "''");
    EXPECT_EQ(quotedSearchWords("O'Hare \"x\" & #1+%"), "'O%27Hare%20%22x%22%20%26%20%231%2B%25'");
    EXPECT_EQ(quotedSearchWords("S\xC3\xA3o"), "'S%C3%A3o'");
    EXPECT_EQ(quotedSearchWords("Paris\r\nHost: evil"), "'Paris%0D%0AHost%3A%20evil'");
    EXPECT_EQ(quotedSearchWords("a-b.c_d~e"), "'a-b.c_d~e'");
}

TEST(RequestTemplate, ServiceHostSplitsNameAndPort)
{
    auto h = parseServiceHost("127.0.0.1:8417");
    EXPECT_EQ(h.name, "127.0.0.1");
    EXPECT_EQ(h.port, 8417);
    EXPECT_EQ(h.headerValue, "127.0.0.1:8417");

    h = parseServiceHost("weather.example");
    EXPECT_EQ(h.name, "weather.example");
    EXPECT_EQ(h.port, 80);

    h = parseServiceHost("[::1]:9000");
    EXPECT_EQ(h.name, "::1");
    EXPECT_EQ(h.port, 9000);
    EXPECT_EQ(h.headerValue, "[::1]:9000");

    EXPECT_EQ(parseServiceHost("host:").port, 80);
    EXPECT_EQ(parseServiceHost("host:99999").port, 80);
    EXPECT_EQ(parseServiceHost("host:x1").port, 80);
}
