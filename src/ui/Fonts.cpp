#include "Fonts.h"

#include <QStringList>

namespace brisora {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               QStringList() << QStringLiteral("Liberation Mono")
                                             << QStringLiteral("DejaVu Sans Mono"));
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList() << QStringLiteral("Liberation Sans")
                                             << QStringLiteral("DejaVu Sans"));
}

QFont layoutFont(const QString& family, double pointSize)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Hinted across as well as up, every glyph would take a whole pixel, and captions would
    // come out wider than the boxes they were laid out in.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

} // namespace brisora
