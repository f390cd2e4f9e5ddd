#include "ZoneFolder.h"

#include <QFile>
#include <QFileInfo>

namespace brisora::gateway {
namespace {

// The largest real zone file is under 4 KiB.
constexpr qint64 largestZoneFile = 256 * 1024;

} // namespace

std::unique_ptr<ZoneSource> ZoneFolder::system()
{
    return std::make_unique<ZoneFolder>(QStringLiteral(BRISORA_ZONEINFO_ROOT));
}

std::optional<std::string> ZoneFolder::zoneFile(std::string_view name) const
{
    const QString path =
        m_root + QLatin1Char('/') + QString::fromLatin1(name.data(), qsizetype(name.size()));
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(largestZoneFile + 1);
    if (bytes.size() > largestZoneFile)
        return std::nullopt;
    return bytes.toStdString();
}

} // namespace brisora::gateway
