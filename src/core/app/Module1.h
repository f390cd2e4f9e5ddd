#pragma once
// Pure: standard library only, no Qt. Part of brisora_core.

#include "Settings.h"

#include <cstdint>
#include <string>

namespace brisora {

/// Run-time flags are 16-bit with true = -1 and false = 0.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

/// The state both windows share: the settings record and three run-time values.
/// One instance lives for the program's run; each window gets a reference to it.
struct Module1
{
    brisora::Settings Settings;
    std::int16_t WindowShown = kFalse;        ///< the main window itself is meant to be on screen
    std::int16_t ShownBeforeOptions = kFalse; ///< WindowShown as it was when Options opened
    std::string AppVersion;                   ///< "1.25", set as the first act of start-up
};

} // namespace brisora
