#include "MainWindowLayout.h"

#include <array>
#include <cmath>
#include <cstring>

namespace brisora {

namespace {
constexpr std::array<ControlLayout, 20> kControls = {{
    {"Frame1", "frmMain", 75, 60, 2985, 345},        {"Label6", "Frame1", 90, 45, 1215, 255},
    {"Label3", "Frame1", 2670, 45, 270, 255},        {"txtTitle", "frmMain", 150, 525, 2820, 255},
    {"txtDateTime", "frmMain", 150, 795, 2820, 255}, {"picPanel", "frmMain", 45, 1140, 3015, 3180},
    {"Picture1", "picPanel", 2085, 75, 855, 825},    {"Label1", "picPanel", 45, 90, 645, 270},
    {"txtTemp", "picPanel", 1065, 90, 915, 270},     {"Label4", "picPanel", 45, 420, 990, 270},
    {"txtWTemp", "picPanel", 1065, 420, 915, 270},   {"Label8", "picPanel", 45, 765, 870, 270},
    {"txtWSpeed", "picPanel", 1065, 765, 1350, 270}, {"Label2", "picPanel", 45, 1110, 1395, 270},
    {"txtCond", "picPanel", 1215, 1110, 1710, 615},  {"Label9", "picPanel", 45, 1485, 1155, 270},
    {"txtDay1", "picPanel", 30, 1785, 2865, 300},    {"txtDay2", "picPanel", 45, 2115, 2865, 600},
    {"lblBar", "picPanel", 30, 3015, 2910, 120},     {"Picture2", "frmMain", 1815, 4440, 1140, 390},
}};

int toPixels(int twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}
} // namespace

std::span<const ControlLayout> MainWindowLayout::controls()
{
    return kControls;
}

const ControlLayout* MainWindowLayout::find(const char* name)
{
    for (const ControlLayout& control : kControls)
        if (std::strcmp(control.name, name) == 0)
            return &control;
    return nullptr;
}

QRect MainWindowLayout::toPixels(const ControlLayout& control, double twipsPerPixelX,
                                 double twipsPerPixelY)
{
    return QRect(brisora::toPixels(control.left, twipsPerPixelX),
                 brisora::toPixels(control.top, twipsPerPixelY),
                 brisora::toPixels(control.width, twipsPerPixelX),
                 brisora::toPixels(control.height, twipsPerPixelY));
}

} // namespace brisora
