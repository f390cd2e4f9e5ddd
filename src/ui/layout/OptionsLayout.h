#pragma once

namespace brisora::optionsLayout {

/// A control's place and size in twips, relative to its container.
struct TwipRect
{
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidth = 6525; // twips
inline constexpr int kClientHeight = 4905;
inline constexpr int kBackgroundWidth = 571; // pixels
inline constexpr int kBackgroundHeight = 342;

// On the form.
inline constexpr TwipRect Frame3{45, -45, 3495, 1740};
inline constexpr TwipRect Frame1{45, 1755, 3495, 2220};
inline constexpr TwipRect Frame2{3630, 2760, 2820, 1215};
inline constexpr TwipRect Command2{3780, 4305, 1095, 375};
inline constexpr TwipRect cmdOK{5160, 4290, 1095, 375};
inline constexpr TwipRect lblAbout{3600, 120, 2295, 2535};

// In Frame3.
inline constexpr TwipRect chkOnStart{240, 240, 3015, 255};
inline constexpr TwipRect chkOnTray{240, 615, 3015, 255};
inline constexpr TwipRect Label5{240, 1185, 735, 255};
inline constexpr TwipRect cboRefresh{1080, 1155, 1575, 315};

// In Frame1.
inline constexpr TwipRect Label1{270, 795, 3015, 255};
inline constexpr TwipRect txtWord{210, 390, 2565, 270};
inline constexpr TwipRect Command1{2835, 390, 495, 290};
inline constexpr TwipRect Label3{270, 1170, 2055, 255};
inline constexpr TwipRect txtLocation{345, 1485, 2895, 465};

// In Frame2.
inline constexpr TwipRect optF{885, 315, 1815, 255};
inline constexpr TwipRect optC{885, 705, 1695, 255};

} // namespace brisora::optionsLayout
