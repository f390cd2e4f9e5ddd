#include "Utf8Text.h"

namespace brisora {

namespace {

/// Length of the UTF-8 sequence starting at `i`, or 0 when it is malformed there.
std::size_t sequenceLength(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0)
            lo = 0xA0; // overlong
        if (lead == 0xED)
            hi = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0)
            lo = 0x90; // overlong
        if (lead == 0xF4)
            hi = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return len;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = sequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string displayUtf8(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return std::string(bytes);
    // Windows-1252 at 0x80-0x9F; 0 marks its five undefined bytes. Above 0x9F it is Latin-1.
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    constexpr char16_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t unit = b;
        if (b >= 0x80 && b <= 0x9F)
            unit = kHighControls[b - 0x80] ? kHighControls[b - 0x80] : kReplacement;
        if (unit < 0x80) {
            out.push_back(c);
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

std::string_view firstCodePoints(std::string_view text, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t count = 0; i < text.size() && count < maxChars; ++count) {
        const std::size_t len = sequenceLength(text, i);
        i += len == 0 ? 1 : len; // tolerate stray bytes rather than stall
    }
    return text.substr(0, i);
}

std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool isBlank(std::string_view s)
{
    return s.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace brisora
