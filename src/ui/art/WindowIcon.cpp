#include "WindowIcon.h"

#include "art/SvgArt.h"

namespace brisora {

QIcon windowIconFromArt()
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawSvg(QStringLiteral(":/brisora.svg"), QSize(side, side)));
    return icon;
}

} // namespace brisora
