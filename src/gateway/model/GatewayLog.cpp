#include "GatewayLog.h"

#include <cstdio>

namespace brisora::gateway {

GatewayLog GatewayLog::standardError()
{
    return GatewayLog([](const QString& line) {
        QString text = QStringLiteral("brisora-gateway: ") + line;
        // Parts of a line may come from upstream replies; a line break there must not
        // forge a line of its own.
        for (QChar& c : text) {
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
        }
        const QByteArray bytes = text.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
        std::fflush(stderr);
    });
}

} // namespace brisora::gateway
