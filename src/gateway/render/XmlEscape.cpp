#include "XmlEscape.h"

namespace brisora::gateway {

QString escapeXml(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        default:
            // XML 1.0 has no way to carry most control characters.
            escaped += (c.unicode() < 0x20 && c != QLatin1Char('\t')) ? QLatin1Char(' ') : c;
        }
    }
    return escaped;
}

} // namespace brisora::gateway
