#include "PosixTzRule.h"

#include <chrono>
#include <limits>

namespace brisora::gateway {
namespace {

using ChangeDay = PosixTzRule::ChangeDay;

constexpr std::int32_t secondsPerHour = 3600;
// The Gregorian calendar, weekdays included, repeats after 146097 days (400 years).
constexpr std::int64_t cycleSeconds = 146097LL * 86400;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool take(std::string_view& rest, char c)
{
    if (rest.empty() || rest.front() != c)
        return false;
    rest.remove_prefix(1);
    return true;
}

/// A decimal number of 1 to `maxDigits` digits, at most `max`.
std::optional<int> number(std::string_view& rest, int maxDigits, int max)
{
    int value = 0;
    int digits = 0;
    while (digits < maxDigits && digits < static_cast<int>(rest.size()) && isDigit(rest[digits]))
        value = value * 10 + (rest[digits++] - '0');
    if (digits == 0 || value > max)
        return std::nullopt;
    rest.remove_prefix(static_cast<std::size_t>(digits));
    return value;
}

std::optional<std::string> zoneName(std::string_view& rest)
{
    std::size_t length = 0;
    std::string_view name;
    if (take(rest, '<')) {
        while (length < rest.size() && (isLetter(rest[length]) || isDigit(rest[length]) ||
                                        rest[length] == '+' || rest[length] == '-'))
            ++length;
        name = rest.substr(0, length);
        rest.remove_prefix(length);
        if (!take(rest, '>'))
            return std::nullopt;
    } else {
        while (length < rest.size() && isLetter(rest[length]))
            ++length;
        name = rest.substr(0, length);
        rest.remove_prefix(length);
    }
    if (name.size() < 3)
        return std::nullopt;
    return std::string(name);
}

/// [+-]h[h[h]][:mm[:ss]] in seconds, hours at most `maxHours`.
std::optional<std::int32_t> hoursMinutesSeconds(std::string_view& rest, int maxHours)
{
    const bool negative = take(rest, '-');
    if (!negative)
        take(rest, '+');
    const std::optional<int> hours = number(rest, maxHours > 99 ? 3 : 2, maxHours);
    if (!hours)
        return std::nullopt;
    std::int32_t seconds = *hours * secondsPerHour;
    for (int unit : {60, 1}) {
        if (!take(rest, ':'))
            break;
        const std::optional<int> part = number(rest, 2, 59);
        if (!part)
            return std::nullopt;
        seconds += *part * unit;
    }
    return negative ? -seconds : seconds;
}

std::optional<ChangeDay> changeDay(std::string_view& rest)
{
    ChangeDay change;
    std::optional<int> day;
    if (take(rest, 'M')) {
        const std::optional<int> month = number(rest, 2, 12);
        if (!month || *month < 1 || !take(rest, '.'))
            return std::nullopt;
        const std::optional<int> week = number(rest, 1, 5);
        if (!week || *week < 1 || !take(rest, '.'))
            return std::nullopt;
        day = number(rest, 1, 6);
        change.month = *month;
        change.week = *week;
    } else if (take(rest, 'J')) {
        change.form = ChangeDay::Form::NoLeapDay;
        day = number(rest, 3, 365);
        if (day && *day < 1)
            return std::nullopt;
    } else {
        change.form = ChangeDay::Form::CountingLeap;
        day = number(rest, 3, 365);
    }
    if (!day)
        return std::nullopt;
    change.day = *day;
    if (take(rest, '/')) {
        const std::optional<std::int32_t> time = hoursMinutesSeconds(rest, 167);
        if (!time)
            return std::nullopt;
        change.secondsIntoDay = *time;
    }
    return change;
}

std::chrono::sys_days dateIn(const ChangeDay& change, int year)
{
    using namespace std::chrono;
    const std::chrono::year y(year);
    switch (change.form) {
    case ChangeDay::Form::NoLeapDay: {
        const int leapDay = y.is_leap() && change.day >= 60 ? 1 : 0;
        return sys_days(y / January / 1) + days(change.day - 1 + leapDay);
    }
    case ChangeDay::Form::CountingLeap:
        return sys_days(y / January / 1) + days(change.day);
    case ChangeDay::Form::MonthWeekDay:
        break;
    }
    const month m(static_cast<unsigned>(change.month));
    const weekday d(static_cast<unsigned>(change.day));
    if (change.week == 5)
        return sys_days(y / m / d[last]);
    return sys_days(y / m / d[static_cast<unsigned>(change.week)]);
}

/// The moment, in UTC seconds, at which `change` happens in `year` for clocks at `utcOffset`.
std::int64_t changeMoment(const ChangeDay& change, int year, std::int32_t utcOffset)
{
    const std::int64_t midnight =
        std::chrono::duration_cast<std::chrono::seconds>(dateIn(change, year).time_since_epoch())
            .count();
    return midnight + change.secondsIntoDay - utcOffset;
}

} // namespace

std::optional<PosixTzRule> PosixTzRule::parse(std::string_view text)
{
    PosixTzRule rule;
    std::optional<std::string> name = zoneName(text);
    // Offsets are written positive west of Greenwich.
    const std::optional<std::int32_t> standardWest =
        name ? hoursMinutesSeconds(text, 24) : std::nullopt;
    if (!standardWest)
        return std::nullopt;
    rule.m_standard = LocalTimeType{-*standardWest, false, std::move(*name)};
    if (text.empty())
        return rule;

    name = zoneName(text);
    if (!name)
        return std::nullopt;
    std::int32_t daylightOffset = rule.m_standard.utcOffset + secondsPerHour;
    if (!text.empty() && text.front() != ',') {
        const std::optional<std::int32_t> daylightWest = hoursMinutesSeconds(text, 24);
        if (!daylightWest)
            return std::nullopt;
        daylightOffset = -*daylightWest;
    }
    rule.m_daylight = LocalTimeType{daylightOffset, true, std::move(*name)};

    const std::optional<ChangeDay> start = take(text, ',') ? changeDay(text) : std::nullopt;
    const std::optional<ChangeDay> end = start && take(text, ',') ? changeDay(text) : std::nullopt;
    if (!end || !text.empty())
        return std::nullopt;
    rule.m_start = *start;
    rule.m_end = *end;
    return rule;
}

const LocalTimeType& PosixTzRule::at(std::int64_t utcSeconds) const
{
    if (!m_daylight)
        return m_standard;
    std::int64_t moment = utcSeconds % cycleSeconds;
    if (moment < 0)
        moment += cycleSeconds;
    const std::chrono::sys_seconds instant{std::chrono::seconds(moment)};
    const int year = static_cast<int>(
        std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(instant)).year());

    // The latest change at or before the moment decides. Each change is stated in the clocks
    // it ends, and may fall into a neighbouring year (times run to 167 h); when an end and a
    // start coincide, daylight time goes on (all year: "0/0,J365/25").
    bool daylight = false;
    std::int64_t latest = std::numeric_limits<std::int64_t>::min();
    for (int y = year - 2; y <= year + 1; ++y) {
        const std::int64_t end = changeMoment(m_end, y, m_daylight->utcOffset);
        if (end <= moment && end > latest) {
            latest = end;
            daylight = false;
        }
        const std::int64_t start = changeMoment(m_start, y, m_standard.utcOffset);
        if (start <= moment && start >= latest) {
            latest = start;
            daylight = true;
        }
    }
    return daylight ? *m_daylight : m_standard;
}

} // namespace brisora::gateway
