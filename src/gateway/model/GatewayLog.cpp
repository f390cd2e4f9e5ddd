#include "GatewayLog.h"

#include "GatewayLogFile.h"

#include <cstdio>

namespace brisora::gateway {
namespace {

// Parts of a line may come from upstream replies; a line break there must not forge a line
// of its own.
QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

void writeToStandardError(const QString& line)
{
    const QByteArray bytes = (QStringLiteral("brisora-gateway: ") + line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

GatewayLog GatewayLog::standardError()
{
    return GatewayLog([](const QString& line) { writeToStandardError(oneLine(line)); });
}

GatewayLog GatewayLog::inFile(std::shared_ptr<GatewayLogFile> file)
{
    return GatewayLog([file = std::move(file)](const QString& line) {
        const QString text = oneLine(line);
        if (!file->write(text))
            writeToStandardError(text);
    });
}

} // namespace brisora::gateway
