#pragma once

namespace brisora::test {

// Points of the widget's window in pixels at 96 dpi, as xdotool takes them: the minimize
// mark's middle, and the title strip's own area between the program name and the mark.
inline constexpr const char* kMinimizeMark = "192 15";
inline constexpr const char* kBareStrip = "135 15";

} // namespace brisora::test
