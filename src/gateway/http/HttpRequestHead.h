#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brisora::gateway {

/// The parts of a request head that the gateway acts on.
struct HttpRequestHead
{
    std::string method;
    std::string target;   // origin-form: starts with "/"
    int minorVersion = 1; // HTTP/1.x
    bool keepAlive = true;
    bool hasBody = false; // a non-zero Content-Length or any Transfer-Encoding
};

/// Outcome of reading a request head from the front of a connection's buffer.
struct HeadParseResult
{
    enum class State
    {
        NeedMore, // no complete head yet, and still within the size limit
        Complete,
        Invalid, // answer `status` and close
    };

    State state = State::NeedMore;
    int status = 0;             // for Invalid: 400, 431 or 505
    std::size_t headLength = 0; // for Complete: bytes up to and including the empty line
    HttpRequestHead head;
};

/// Reads one HTTP/1.x request head at the start of `buffer`. Lines may end in CR LF or a bare
/// LF; empty lines before the request line are skipped. A head (or an unfinished one) longer
/// than `maxHeadBytes` is Invalid with 431. A malformed request line, a header line without a
/// proper name, a folded header, or a target that is not an absolute path is Invalid with
/// 400; a version other than HTTP/1.0 and HTTP/1.1 gives 505. Never reads past `buffer`.
HeadParseResult parseRequestHead(std::string_view buffer, std::size_t maxHeadBytes = 8192);

} // namespace brisora::gateway
