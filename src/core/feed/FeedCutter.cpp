#include "FeedCutter.h"

#include "app/Utf8Text.h"
#include "app/ValueBetween.h"
#include "app/WholeNumber.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace brisora {

namespace {

constexpr std::size_t npos = std::string_view::npos;

/// One cut of the walk: the start key, the end key and how many characters past the start
/// key's position the value begins.
struct CutRule
{
    std::string_view startKey;
    std::string_view endKey;
    std::size_t skip;
};

// The feed's elements, attributes, spacing and quoting are encoded in these numbers: a skip
// steps over the key and whatever fixed text the feed writes before the value, so it is not
// derived from the key's length.
constexpr CutRule kBuildDate{"<lastBuildDate>", "</lastBuildDate>", 15};
constexpr CutRule kWindChill{"yweather:wind chill", "direction=", 20};
constexpr CutRule kWindSpeed{"speed=", "/>", 6};
constexpr CutRule kCondition{"yweather:condition", "code=", 25};
constexpr CutRule kConditionCode{"code=", "temp=", 6};
constexpr CutRule kTemperature{"temp=", "date=", 6};
// Stops on the "day=" inside the key, so the element text begins with it.
constexpr CutRule kForecast{"yweather:forecast day=", "/>", 18};

constexpr CutRule kForecastDay{"day=", "date=", 4};
constexpr CutRule kForecastDate{"date=", "low=", 5};
constexpr CutRule kForecastLow{"low=", "high=", 4};
constexpr CutRule kForecastHigh{"high=", "text=", 5};
constexpr CutRule kForecastText{"text=", "code=", 5};

constexpr std::string_view kTitleStart = "<title>";
constexpr std::string_view kTitleEnd = "</title>";
constexpr std::size_t kTitleSkip = 24; // the tag and the feed's fixed 17-character prefix

constexpr int kHighestCode = 47;
constexpr int kNotAvailableImage = 49;
constexpr std::size_t kOneLineDayLength = 25;
constexpr std::size_t kTooltipChars = 63; // the tray's 64-character tip field less its NUL

struct UnitSuffixes
{
    std::string_view temperature;
    std::string_view speed;
};

constexpr UnitSuffixes kMetric{" \xC2\xB0"
                               "C",
                               " kmph"};
constexpr UnitSuffixes kImperial{" \xC2\xB0"
                                 "F",
                                 " mph"};

/// Applies `rule` at `cursor`: the start key is searched at or after the cursor, the end key at
/// or after the start key's own position. On success the cursor moves onto the value's start;
/// when a key is missing or the end comes too early, nothing is returned and the cursor stays.
std::optional<std::string_view> cut(std::string_view text, std::size_t& cursor, const CutRule& rule)
{
    const std::size_t start = text.find(rule.startKey, cursor);
    const std::size_t end = start == npos ? npos : text.find(rule.endKey, start);
    const auto value = valueBetween(text, start, end, rule.skip);
    if (value)
        cursor = start + rule.skip;
    return value;
}

void trimSpacesInPlace(std::string& s)
{
    const std::string_view kept = trimSpaces(s);
    const auto front = static_cast<std::size_t>(kept.data() - s.data());
    s.resize(front + kept.size());
    s.erase(0, front);
}

/// Replaces `out` with `s` less every double quote.
void assignWithoutQuotes(std::string& out, std::string_view s)
{
    out.clear();
    out.reserve(s.size());
    for (std::size_t quote = s.find('"'); quote != npos; quote = s.find('"')) {
        out.append(s.substr(0, quote));
        s.remove_prefix(quote + 1);
    }
    out.append(s);
}

std::string withoutQuotes(std::string_view s)
{
    std::string out;
    assignWithoutQuotes(out, s);
    return out;
}

/// Raw reply bytes as screen text; a value that is already UTF-8 keeps its buffer.
std::string displayText(std::string raw)
{
    if (isValidUtf8(raw))
        return raw;
    return displayUtf8(raw);
}

/// The whole number a condition code holds: spaces at either end, an optional sign and
/// decimal digits that fit 16 bits. Nothing for anything else.
std::optional<int> codeNumber(std::string_view code)
{
    return wholeNumber<std::int16_t>(trimSpaces(code));
}

/// A forecast line from one forecast element's text (its quotes already removed):
/// day, ", ", text, ". High:", high, " Low:", low. The low and high keep the space that
/// separates them from the next attribute. Nothing when one of the five sub-cuts fails.
std::optional<std::string> forecastLine(std::string_view element)
{
    std::size_t cursor = 0;
    const auto day = cut(element, cursor, kForecastDay);
    const auto date = day ? cut(element, cursor, kForecastDate) : std::nullopt;
    const auto low = date ? cut(element, cursor, kForecastLow) : std::nullopt;
    const auto high = low ? cut(element, cursor, kForecastHigh) : std::nullopt;
    const auto text = high ? cut(element, cursor, kForecastText) : std::nullopt;
    if (!text)
        return std::nullopt;
    const std::string_view dayName = trimSpaces(*day);
    const std::string_view condition = trimSpaces(*text);
    constexpr std::string_view kComma = ", ", kHigh = ". High:", kLow = " Low:";
    std::string line;
    line.reserve(dayName.size() + condition.size() + high->size() + low->size() + kComma.size() +
                 kHigh.size() + kLow.size());
    line.append(dayName).append(kComma).append(condition);
    line.append(kHigh).append(*high).append(kLow).append(*low);
    return line;
}

/// The line of the next forecast element after `cursor`, cut from its quote-free text (left
/// in `element`); nullopt when there is no further element or one of its values is missing.
std::optional<std::string> nextForecastLine(std::string_view reply, std::size_t& cursor,
                                            std::string& element)
{
    const auto forecast = cut(reply, cursor, kForecast);
    if (!forecast)
        return std::nullopt;
    assignWithoutQuotes(element, *forecast);
    return forecastLine(element);
}

} // namespace

FeedCut cutFeed(std::string_view reply, int useCelsius)
{
    FeedCut out;
    const UnitSuffixes& units = useCelsius == 1 ? kMetric : kImperial;

    // The channel's title is the reply's first title: both of its keys are searched from the
    // very start of the text.
    const std::size_t titleAt = reply.find(kTitleStart);
    const auto title = valueBetween(reply, titleAt, reply.find(kTitleEnd), kTitleSkip);
    if (!title)
        return out;
    std::size_t cursor = titleAt + kTitleSkip;
    out.title = displayText(std::string(*title));
    out.cutsDone = 1;

    const auto buildDate = cut(reply, cursor, kBuildDate);
    if (!buildDate)
        return out;
    out.dateTime = "at " + displayText(std::string(trimSpaces(*buildDate)));
    out.cutsDone = 2;

    const auto chill = cut(reply, cursor, kWindChill);
    if (!chill)
        return out;
    out.windChill = displayText(withoutQuotes(trimSpaces(*chill))).append(units.temperature);
    out.cutsDone = 3;

    const auto speed = cut(reply, cursor, kWindSpeed);
    if (!speed)
        return out;
    out.windSpeed = displayText(withoutQuotes(trimSpaces(*speed))).append(units.speed);
    out.cutsDone = 4;

    const auto condition = cut(reply, cursor, kCondition);
    if (!condition)
        return out;
    out.condition = displayText(withoutQuotes(trimSpaces(*condition)));
    out.cutsDone = 5;

    // Not trimmed: spaces before "temp=" stay in the code, and its numeric reading skips them.
    const auto code = cut(reply, cursor, kConditionCode);
    if (!code)
        return out;
    out.conditionCode = displayText(withoutQuotes(*code));
    const std::optional<int> codeValue = codeNumber(out.conditionCode);
    if (codeValue && *codeValue > kHighestCode)
        out.conditionCode = "48";
    // Anything but a code from 0 to 47 (a clamped code, a negative one, one too large for
    // 16 bits, or no number at all) shows the "not available" picture.
    out.imageIndex = codeValue && *codeValue >= 0 && *codeValue <= kHighestCode
                         ? *codeValue + 1
                         : kNotAvailableImage;
    out.cutsDone = 6;

    const auto temperature = cut(reply, cursor, kTemperature);
    if (!temperature)
        return out;
    out.temperature =
        displayText(withoutQuotes(trimSpaces(*temperature))).append(units.temperature);
    out.cutsDone = 7;
    out.tooltip.reserve(out.title.size() + 3 + out.temperature.size());
    out.tooltip.append(out.title).append(" : ").append(out.temperature);
    out.tooltip.resize(firstCodePoints(out.tooltip, kTooltipChars).size());

    // Both forecast elements are cut again from their quote-free text, kept in one buffer.
    std::string element;
    std::optional<std::string> day1 = nextForecastLine(reply, cursor, element);
    if (!day1)
        return out;
    trimSpacesInPlace(*day1);
    out.day1NeedsTwoLines = day1->size() > kOneLineDayLength;
    out.day1 = displayText(std::move(*day1));
    out.cutsDone = 8;

    // The cursor rests on the first element's "day=", past its key: this finds the second.
    std::optional<std::string> day2 = nextForecastLine(reply, cursor, element);
    if (!day2)
        return out;
    out.day2 = displayText(std::move(*day2));
    out.cutsDone = 9;
    return out;
}

} // namespace brisora
