// libFuzzer target: the weather-feed cutter on any bytes.

#include "fuzz_check.h"

#include "app/Utf8Text.h"
#include "feed/FeedCutter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace brisora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const FeedCut cut = cutFeed(reply, 1);

    require(cut.cutsDone >= 0 && cut.cutsDone <= 9, "cutsDone within 0 to 9");
    const std::array<const std::string*, 9> captions{
        &cut.title,         &cut.dateTime,    &cut.windChill, &cut.windSpeed, &cut.condition,
        &cut.conditionCode, &cut.temperature, &cut.day1,      &cut.day2};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        require(isValidUtf8(*captions[i]), "captions are UTF-8");
        if (i >= static_cast<std::size_t>(cut.cutsDone))
            require(captions[i]->empty(), "captions past cutsDone are empty");
    }
    require(cut.imageIndex >= 1 && cut.imageIndex <= 49, "image within 1 to 49");
    require(!cut.day1NeedsTwoLines || cut.cutsDone >= 8, "two lines only with a day-1 line");
    if (cut.cutsDone >= 7) {
        const std::string full = cut.title + " : " + cut.temperature;
        require(full.compare(0, cut.tooltip.size(), cut.tooltip) == 0, "tooltip is a prefix");
        require(firstCodePoints(cut.tooltip, 63) == cut.tooltip, "tooltip within 63 characters");
        require(cut.tooltip.size() == firstCodePoints(full, 63).size(), "tooltip not cut short");
    } else {
        require(cut.tooltip.empty(), "no tooltip before the temperature is cut");
    }

    // The units change the suffixes, never how far the walk gets.
    const FeedCut imperial = cutFeed(reply, 0);
    require(imperial.cutsDone == cut.cutsDone, "units do not change the walk");
    require(imperial.title == cut.title && imperial.day2 == cut.day2, "units change suffixes only");
    return 0;
}
