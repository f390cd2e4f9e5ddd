#include "HttpRequestHead.h"

#include <algorithm>

namespace brisora::gateway {
namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

/// Splits off the next line (without its CR LF or LF) from `rest`.
std::string_view takeLine(std::string_view& rest)
{
    const std::size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

/// Position just past the empty line that ends the head, or npos.
std::size_t findHeadEnd(std::string_view buffer, std::size_t start)
{
    std::size_t lf = buffer.find('\n', start);
    while (lf != std::string_view::npos) {
        const std::size_t next = lf + 1;
        if (next < buffer.size() && buffer[next] == '\n')
            return next + 1;
        if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n')
            return next + 2;
        lf = buffer.find('\n', next);
    }
    return std::string_view::npos;
}

bool hasConnectionToken(std::string_view value, std::string_view token)
{
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (equalsIgnoringCase(trimBlanks(value.substr(0, comma)), token))
            return true;
        value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
    }
    return false;
}

bool isValidTarget(std::string_view target)
{
    if (target.empty() || target.front() != '/')
        return false;
    return std::none_of(target.begin(), target.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7f;
    });
}

HeadParseResult invalid(int status)
{
    HeadParseResult result;
    result.state = HeadParseResult::State::Invalid;
    result.status = status;
    return result;
}

} // namespace

HeadParseResult parseRequestHead(std::string_view buffer, std::size_t maxHeadBytes)
{
    // Stray empty lines between requests are allowed before a request line.
    std::size_t start = 0;
    while (start < buffer.size() && (buffer[start] == '\r' || buffer[start] == '\n'))
        ++start;
    if (start >= buffer.size())
        return start > maxHeadBytes ? invalid(431) : HeadParseResult{};

    const std::size_t end = findHeadEnd(buffer, start);
    if (end == std::string_view::npos)
        return buffer.size() > maxHeadBytes ? invalid(431) : HeadParseResult{};
    if (end > maxHeadBytes)
        return invalid(431);

    std::string_view rest = buffer.substr(start, end - start);
    const std::string_view requestLine = takeLine(rest);

    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace)
        return invalid(400);
    const std::string_view method = requestLine.substr(0, firstSpace);
    const std::string_view target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    const std::string_view version = requestLine.substr(lastSpace + 1);
    if (!isToken(method) || !isValidTarget(target))
        return invalid(400);
    if (version.size() != 8 || version.substr(0, 5) != "HTTP/" || version[6] != '.' ||
        version[5] < '0' || version[5] > '9' || version[7] < '0' || version[7] > '9')
        return invalid(400);
    if (version[5] != '1' || (version[7] != '0' && version[7] != '1'))
        return invalid(505);

    HeadParseResult result;
    result.state = HeadParseResult::State::Complete;
    result.headLength = end;
    result.head.method = std::string(method);
    result.head.target = std::string(target);
    result.head.minorVersion = version[7] - '0';

    bool closeAsked = false;
    bool keepAliveAsked = false;
    bool contentLengthSeen = false;
    while (!rest.empty()) {
        const std::string_view line = takeLine(rest);
        if (line.empty())
            break;
        if (line.front() == ' ' || line.front() == '\t')
            return invalid(400); // folded header lines are obsolete and ambiguous
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !isToken(line.substr(0, colon)))
            return invalid(400);
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = trimBlanks(line.substr(colon + 1));
        if (equalsIgnoringCase(name, "connection")) {
            closeAsked = closeAsked || hasConnectionToken(value, "close");
            keepAliveAsked = keepAliveAsked || hasConnectionToken(value, "keep-alive");
        } else if (equalsIgnoringCase(name, "content-length")) {
            // Two lengths, or one that is not a plain number, make the framing unknowable.
            if (contentLengthSeen || value.empty() ||
                !std::all_of(value.begin(), value.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                return invalid(400);
            contentLengthSeen = true;
            if (value.find_first_not_of('0') != std::string_view::npos)
                result.head.hasBody = true;
        } else if (equalsIgnoringCase(name, "transfer-encoding")) {
            result.head.hasBody = true;
        }
    }
    result.head.keepAlive = !closeAsked && (result.head.minorVersion == 1 || keepAliveAsked);
    return result;
}

} // namespace brisora::gateway
