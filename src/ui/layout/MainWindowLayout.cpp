#include "MainWindowLayout.h"

#include <cmath>

namespace brisora::mainLayout {

int toPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

QRect toPixels(const ControlLayout& control, double twipsPerPixelX, double twipsPerPixelY)
{
    return QRect(toPixels(control.left, twipsPerPixelX), toPixels(control.top, twipsPerPixelY),
                 toPixels(control.width, twipsPerPixelX), toPixels(control.height, twipsPerPixelY));
}

} // namespace brisora::mainLayout
