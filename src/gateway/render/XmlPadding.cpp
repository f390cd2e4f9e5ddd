#include "XmlPadding.h"

#include <algorithm>

namespace brisora::gateway {

void padWithComment(QByteArray& document, qsizetype minimumBytes)
{
    if (document.size() > minimumBytes)
        return;
    constexpr char opening[] = "<!-- padding";
    constexpr char closing[] = " -->\n";
    constexpr qsizetype fixedBytes = sizeof(opening) - 1 + sizeof(closing) - 1;
    const qsizetype blanks =
        std::max<qsizetype>(0, minimumBytes + 1 - document.size() - fixedBytes);
    document += opening;
    document += QByteArray(blanks, ' ');
    document += closing;
}

} // namespace brisora::gateway
