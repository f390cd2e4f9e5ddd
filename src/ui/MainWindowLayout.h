#pragma once

#include <QRect>

#include <span>

namespace brisora {

/// Place and size of one control of the main window, in twips, relative to its container.
struct ControlLayout
{
    const char* name;
    const char* container; ///< "frmMain" for controls placed on the window itself
    int left;
    int top;
    int width;
    int height;
};

/// The main window's laid-out geometry.
class MainWindowLayout
{
public:
    static constexpr int kWidthTwips = 3105;
    static constexpr int kHeightTwips = 4965;
    /// The forecast lines' two-line layout: a taller first line and the second moved down.
    static constexpr int kDay1TwoLineHeightTwips = 600;
    static constexpr int kDay2OffsetBelowDay1Twips = 615;

    /// Every placed control, containers before what they contain.
    static std::span<const ControlLayout> controls();
    /// The layout of `name`; nullptr when there is no such control.
    static const ControlLayout* find(const char* name);
    /// A twips rectangle in pixels at the given twips per pixel.
    static QRect toPixels(const ControlLayout& control, double twipsPerPixelX,
                          double twipsPerPixelY);
};

} // namespace brisora
