#include "TrayIconRecord.h"

namespace brisora {

void TrayIconRecord::storeTip(const QString& text)
{
    // Count characters, not UTF-16 units, so a tip is never cut inside a character.
    const QList<uint> chars = text.toUcs4();
    static_assert(sizeof(uint) == sizeof(char32_t));
    if (chars.size() < kTipCapacity) {
        szTip = text;
        return;
    }
    szTip =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), kTipCapacity - 1);
}

} // namespace brisora
