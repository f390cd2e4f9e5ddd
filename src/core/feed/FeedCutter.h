#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include <string>
#include <string_view>

namespace brisora {

/// What one weather-feed reply yields. The cutter walks the raw reply once, front to back,
/// by fixed keys, end keys and skips; every key, skip and length rule works on raw bytes.
/// Text fields are for the screen: UTF-8 (a value that is not valid UTF-8 is read as Windows-1252).
struct FeedCut
{
    /// How many of the nine main cuts succeeded, in order (a forecast cut counts only when
    /// its own sub-cuts succeeded too). Fields of cuts past this number are empty.
    int cutsDone = 0;

    std::string title;              ///< cut 1: the place name, untouched
    std::string dateTime;           ///< cut 2: "at " + build date
    std::string windChill;          ///< cut 3: value + temperature suffix
    std::string windSpeed;          ///< cut 4: value + speed suffix
    std::string condition;          ///< cut 5: condition text
    std::string conditionCode;      ///< cut 6: code as cut (quotes removed), "48" when above 47
    std::string temperature;        ///< cut 7: value + temperature suffix
    std::string day1;               ///< cut 8: first forecast line, trimmed
    bool day1NeedsTwoLines = false; ///< cut 8: the trimmed day-1 line is longer than 25 bytes
    std::string day2;               ///< cut 9: second forecast line

    /// Image of the condition table, 1 to 49: code + 1 for codes 0 to 47, 49 for the clamped
    /// "48" and for a code that is not a whole number from 0 to 32767. Meaningful once cut 6
    /// (the code) is done.
    int imageIndex = 49;
    /// Tray tip: title + " : " + temperature, cut to 63 characters (code points). Empty until
    /// cut 7 (the temperature) is done.
    std::string tooltip;

    bool complete() const { return cutsDone == 9; }
};

/// Cuts one raw reply (status line, headers and body, one char per byte). `useCelsius` 1
/// selects " °C"/" kmph", any other value " °F"/" mph". A reply that lacks a key, or has an
/// end key before its start key, stops the walk there: `cutsDone` tells how far it got.
/// Never reads outside `reply`, whatever its length or content.
FeedCut cutFeed(std::string_view reply, int useCelsius);

} // namespace brisora
