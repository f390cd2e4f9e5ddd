#include "WindowIcon.h"

#include "art/LazyArtIconEngine.h"

namespace brisora {

QIcon windowIconFromArt()
{
    // QIcon owns the engine it is given.
    return QIcon(new LazyArtIconEngine(QStringLiteral("brisora"), {16, 24, 32, 48, 64, 128, 256}));
}

} // namespace brisora
