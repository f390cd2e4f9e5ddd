#pragma once

#include <QRect>

#include <array>
#include <span>

namespace brisora {

/// Place and size of one control of the main window, in twips, relative to its container.
struct ControlLayout
{
    const char* name;      ///< the control's object name
    const char* container; ///< "frmMain" for controls placed on the window itself
    int left;
    int top;
    int width;
    int height;
};

/// The main window's laid-out geometry, one named constant a control, so a misspelt control
/// does not compile.
namespace mainLayout {

inline constexpr int kWidthTwips = 3105;
inline constexpr int kHeightTwips = 4965;
/// The forecast lines' two-line layout: a taller first line and the second moved down.
inline constexpr int kDay1TwoLineHeightTwips = 600;
inline constexpr int kDay2OffsetBelowDay1Twips = 615;

// On the window.
inline constexpr ControlLayout Frame1{"Frame1", "frmMain", 75, 60, 2985, 345};
inline constexpr ControlLayout txtTitle{"txtTitle", "frmMain", 150, 525, 2820, 255};
inline constexpr ControlLayout txtDateTime{"txtDateTime", "frmMain", 150, 795, 2820, 255};
inline constexpr ControlLayout picPanel{"picPanel", "frmMain", 45, 1140, 3015, 3180};
inline constexpr ControlLayout Picture2{"Picture2", "frmMain", 1815, 4440, 1140, 390};

// In the title strip Frame1.
inline constexpr ControlLayout Label6{"Label6", "Frame1", 90, 45, 1215, 255};
inline constexpr ControlLayout Label3{"Label3", "Frame1", 2670, 45, 270, 255};

// In the weather panel picPanel.
inline constexpr ControlLayout Picture1{"Picture1", "picPanel", 2085, 75, 855, 825};
inline constexpr ControlLayout Label1{"Label1", "picPanel", 45, 90, 645, 270};
inline constexpr ControlLayout txtTemp{"txtTemp", "picPanel", 1065, 90, 915, 270};
inline constexpr ControlLayout Label4{"Label4", "picPanel", 45, 420, 990, 270};
inline constexpr ControlLayout txtWTemp{"txtWTemp", "picPanel", 1065, 420, 915, 270};
inline constexpr ControlLayout Label8{"Label8", "picPanel", 45, 765, 870, 270};
inline constexpr ControlLayout txtWSpeed{"txtWSpeed", "picPanel", 1065, 765, 1350, 270};
inline constexpr ControlLayout Label2{"Label2", "picPanel", 45, 1110, 1395, 270};
inline constexpr ControlLayout txtCond{"txtCond", "picPanel", 1215, 1110, 1710, 615};
inline constexpr ControlLayout Label9{"Label9", "picPanel", 45, 1485, 1155, 270};
inline constexpr ControlLayout txtDay1{"txtDay1", "picPanel", 30, 1785, 2865, 300};
inline constexpr ControlLayout txtDay2{"txtDay2", "picPanel", 45, 2115, 2865, 600};
inline constexpr ControlLayout lblBar{"lblBar", "picPanel", 30, 3015, 2910, 120};

/// Every placed control, containers before what they contain.
inline constexpr std::array<ControlLayout, 20> kControls = {
    Frame1,  Label6,  Label3,  txtTitle, txtDateTime, picPanel,  Picture1,
    Label1,  txtTemp, Label4,  txtWTemp, Label8,      txtWSpeed, Label2,
    txtCond, Label9,  txtDay1, txtDay2,  lblBar,      Picture2,
};

inline std::span<const ControlLayout> controls()
{
    return kControls;
}

/// Twips in pixels at the given twips per pixel, rounded to the nearest pixel.
int toPixels(double twips, double twipsPerPixel);
/// A control's twips rectangle in pixels at the given twips per pixel.
QRect toPixels(const ControlLayout& control, double twipsPerPixelX, double twipsPerPixelY);

} // namespace mainLayout

} // namespace brisora
