#include "ConditionImages.h"

#include "art/Art.h"

#include <array>

namespace brisora {

namespace {

// Picture of each image, in image order 1 to 49 (code 0 to 47, then not available).
constexpr std::array<const char*, ConditionImages::kCount> kPictures = {
    "storm",                   // 0 tornado
    "hurricane",               // 1 tropical storm
    "hurricane",               // 2 hurricane
    "storm",                   // 3 severe thunderstorms
    "storm",                   // 4 thunderstorms
    "rain-snow",               // 5 mixed rain and snow
    "sleet",                   // 6 mixed rain and sleet
    "snow-sleet",              // 7 mixed snow and sleet
    "freezing-drizzle",        // 8
    "drizzle",                 // 9
    "freezing-rain",           // 10
    "showers",                 // 11
    "rain",                    // 12 showers
    "flurries",                // 13 snow flurries
    "light-snow-showers",      // 14
    "blowing-snow",            // 15
    "snow",                    // 16
    "storm",                   // 17 hail
    "sleet",                   // 18
    "dust",                    // 19
    "fog",                     // 20 foggy
    "haze",                    // 21
    "smoke",                   // 22 smoky
    "wind",                    // 23 blustery
    "wind",                    // 24 windy
    "cold",                    // 25
    "cloudy",                  // 26
    "mostly-cloudy-night",     // 27
    "mostly-cloudy-day",       // 28
    "partly-cloudy-night",     // 29
    "partly-cloudy-day",       // 30
    "clear-night",             // 31
    "sunny",                   // 32
    "fair-night",              // 33
    "fair-day",                // 34
    "storm",                   // 35 mixed rain and hail
    "hot",                     // 36
    "scattered-thunderstorms", // 37 isolated thunderstorms
    "scattered-thunderstorms", // 38
    "rain",                    // 39 scattered thunderstorms
    "rain",                    // 40 scattered showers
    "snow",                    // 41 heavy snow
    "snow",                    // 42 scattered snow showers
    "heavy-snow",              // 43
    "partly-cloudy-day",       // 44 partly cloudy
    "thundershowers",          // 45
    "snow-showers",            // 46
    "isolated-thundershowers", // 47
    "not-available",           // not available
};

} // namespace

QString ConditionImages::artName(int index)
{
    if (index < 1 || index > kCount)
        index = kNotAvailable;
    return QStringLiteral("conditions/%1").arg(QLatin1String(kPictures[index - 1]));
}

QPixmap ConditionImages::picture(int index, double devicePixelRatio, double layoutScale)
{
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1.0;
    if (!(layoutScale > 0))
        layoutScale = 1.0;
    // Drawn straight at the device size from the vector art, never scaled up from 52 pixels.
    const int side = qRound(kSidePixels * layoutScale * devicePixelRatio);
    return drawArt(artName(index), QSize(side, side), devicePixelRatio);
}

} // namespace brisora
