#include "RequestTemplate.h"

#include <charconv>

namespace brisora {

namespace {
constexpr std::string_view kSearchPrefix =
    "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20";

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}
} // namespace

ServiceHost parseServiceHost(std::string_view configured)
{
    ServiceHost host;
    host.headerValue = std::string(configured);
    std::string_view name = configured;
    std::string_view port;
    if (configured.starts_with('[')) {
        const std::size_t close = configured.find(']');
        if (close != std::string_view::npos) {
            name = configured.substr(1, close - 1);
            const std::string_view after = configured.substr(close + 1);
            if (after.starts_with(':'))
                port = after.substr(1);
        }
    } else if (const std::size_t colon = configured.rfind(':');
               colon != std::string_view::npos && configured.find(':') == colon) {
        name = configured.substr(0, colon);
        port = configured.substr(colon + 1);
    }
    host.name = std::string(name);
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (!port.empty() && ec == std::errc() && end == port.data() + port.size() && value > 0 &&
        value <= 65535)
        host.port = static_cast<std::uint16_t>(value);
    return host;
}

std::string buildRequest(std::string_view path, std::string_view host)
{
    std::string r;
    r.reserve(160 + path.size() + host.size());
    r.append("GET ").append(path).append(" HTTP/1.1\r\n");
    r.append("Accept: */*\r\n");
    r.append("Accept-Language: en-us\r\n");
    r.append("Accept-Encoding: \r\n");
    r.append("User-Agent: \r\n");
    r.append("Host: ").append(host).append("\r\n");
    r.append("Connection: Keep-Alive\r\n");
    r.append("\r\n");
    return r;
}

std::string feedPath(std::string_view woeid, int useCelsius)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string p = "/forecastrss?w=";
    for (const char ch : woeid) {
        const auto c = static_cast<unsigned char>(ch);
        // A place id comes from a search reply; one holding a blank, CR, LF or other control
        // byte must not be able to split the request line or start a header of its own.
        if (c <= 0x20 || c >= 0x7F) {
            p.push_back('%');
            p.push_back(kHex[c >> 4]);
            p.push_back(kHex[c & 0x0F]);
        } else {
            p.push_back(ch);
        }
    }
    if (useCelsius == 1)
        p.append("&u=c");
    return p;
}

std::string quotedSearchWords(std::string_view words)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "'";
    for (const char ch : words) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    out.push_back('\'');
    return out;
}

std::string searchPath(std::string_view words)
{
    std::string p(kSearchPrefix);
    p.append(quotedSearchWords(words));
    return p;
}

} // namespace brisora
