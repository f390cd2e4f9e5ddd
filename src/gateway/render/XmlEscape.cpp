#include "XmlEscape.h"

namespace brisora::gateway {

QString escapeXml(const QString& text)
{
    // Qt's HTML escaping turns exactly & < > " into entity references.
    QString escaped = text.toHtmlEscaped();
    // XML 1.0 has no way to carry most control characters.
    for (QChar& c : escaped) {
        if (c.unicode() < 0x20 && c != u'\t')
            c = u' ';
    }
    return escaped;
}

} // namespace brisora::gateway
