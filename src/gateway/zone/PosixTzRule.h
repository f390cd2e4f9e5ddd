#pragma once

#include "LocalTimeType.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace brisora::gateway {

/// A zone's rule in the form of the TZ variable, as a zone file's footer states it for the
/// times after its last listed change: standard time alone ("IST-5:30"), or with daylight time
/// and the yearly dates and local times it starts and ends ("CST6CDT,M3.2.0,M11.1.0",
/// "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "EST5EDT,0/0,J365/25").
class PosixTzRule
{
public:
    /// The rule `text` states; nullopt when it is not one. Names are 3 or more letters, or
    /// letters, digits, '+' and '-' between '<' and '>'; offsets [+-]hh[:mm[:ss]] up to 24 h
    /// (positive west of Greenwich); dates Jn (1..365, 29 February never counted), n (0..365)
    /// or Mm.w.d (month, week 1..5 with 5 the last, weekday 0..6 from Sunday); times of day
    /// -167..167 h, 2:00 when left out. Daylight time without its dates is refused: what it
    /// would mean is each system's own guess.
    static std::optional<PosixTzRule> parse(std::string_view text);

    /// The type in force at `utcSeconds` (any value: the rule repeats every 400 years).
    const LocalTimeType& at(std::int64_t utcSeconds) const;

    /// A day of the year on which daylight time starts or ends, and the local time then.
    struct ChangeDay
    {
        enum class Form
        {
            NoLeapDay,    // Jn
            CountingLeap, // n
            MonthWeekDay, // Mm.w.d
        };
        Form form = Form::MonthWeekDay;
        int day = 0; // Jn's n, n's n, or Mm.w.d's weekday d
        int month = 0;
        int week = 0;
        std::int32_t secondsIntoDay = 2 * 3600;
    };

private:
    LocalTimeType m_standard;
    std::optional<LocalTimeType> m_daylight;
    ChangeDay m_start;
    ChangeDay m_end;
};

} // namespace brisora::gateway
