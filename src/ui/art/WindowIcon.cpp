#include "WindowIcon.h"

#include "art/Art.h"

namespace brisora {

QIcon windowIconFromArt()
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawArt(QStringLiteral("brisora"), QSize(side, side)));
    return icon;
}

} // namespace brisora
