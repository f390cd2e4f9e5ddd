#pragma once

#include "integration/XvfbDisplay.h"
#include "layout/MainWindowLayout.h"
#include "layout/OptionsLayout.h"

#include <cmath>
#include <string>

namespace brisora::test {

/// Clicks `button` (1 left, 4 and 5 the wheel) at the point `x`, `y` twips into `window`,
/// whose layout measures `width` × `height` twips: scaled by the window's real size, so any
/// screen density serves.
inline void clickAtTwips(const XvfbDisplay& display, const std::string& window, double width,
                         double height, double x, double y, int button = 1)
{
    std::map<std::string, int> size = display.geometry(window);
    const long left = std::lround(size["WIDTH"] * x / width);
    const long top = std::lround(size["HEIGHT"] * y / height);
    display.xdotool("mousemove --window " + window + " " + std::to_string(left) + " " +
                    std::to_string(top) + " click " + std::to_string(button));
}

/// Clicks the options picture of the widget's window; the options dialog's window once it
/// shows, empty if it never does.
inline std::string openOptions(const XvfbDisplay& display)
{
    namespace L = mainLayout;
    const std::string window = display.visibleWindow("Brisora");
    if (window.empty())
        return {};
    clickAtTwips(display, window, L::kWidthTwips, L::kHeightTwips,
                 L::Picture2.left + L::Picture2.width / 2.0,
                 L::Picture2.top + L::Picture2.height / 2.0);
    return display.visibleWindow("Options");
}

/// Clicks `button` on `control` of the options dialog `dialog`, `container` being the frame
/// it sits in ({} for the form), 8 pixels in from its left edge (where a check box or an
/// option button has its mark) and half-way down.
inline void clickOptionsControl(const XvfbDisplay& display, const std::string& dialog,
                                optionsLayout::TwipRect container, optionsLayout::TwipRect control,
                                int button = 1)
{
    namespace L = optionsLayout;
    clickAtTwips(display, dialog, L::kClientWidth, L::kClientHeight,
                 container.left + control.left + 8 * 15,
                 container.top + control.top + control.height / 2.0, button);
}

} // namespace brisora::test
