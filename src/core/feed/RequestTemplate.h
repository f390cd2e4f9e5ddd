#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <cstdint>
#include <string>
#include <string_view>

namespace brisora {

/// A service host as configured at build time: "name" or "name:port".
struct ServiceHost
{
    std::string name;        ///< what the connection goes to
    std::uint16_t port = 80; ///< 80 when the configured value names none
    std::string headerValue; ///< the configured value, exactly, for the Host: line
};

/// Splits a configured host value. A missing, empty or out-of-range port gives 80;
/// a bracketed IPv6 literal ("[::1]:8417") keeps its address without the brackets.
ServiceHost parseServiceHost(std::string_view configured);

/// The one HTTP/1.1 request the program sends: eight CR LF lines (GET, Accept,
/// Accept-Language, empty Accept-Encoding, empty User-Agent, Host, Connection, blank).
std::string buildRequest(std::string_view path, std::string_view host);

/// The weather feed path: "/forecastrss?w=" + woeid, then "&u=c" when `useCelsius` is
/// exactly 1. The woeid goes out unchanged (not trimmed) except that blanks, control bytes
/// and bytes above 0x7E are sent as %XX, so an id can never break the request.
std::string feedPath(std::string_view woeid, int useCelsius);

/// The search words as sent, inside single quotes. A blank becomes "%20"; every other byte
/// outside A-Z a-z 0-9 - . _ ~ becomes %XX, so nothing typed or pasted can break the request
/// line or add a header. `words` is UTF-8.
std::string quotedSearchWords(std::string_view words);

/// The place-search path: the fixed geo.places query prefix followed by the quoted words.
std::string searchPath(std::string_view words);

} // namespace brisora
