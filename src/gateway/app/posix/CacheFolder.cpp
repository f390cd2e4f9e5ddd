#include "CacheFolder.h"

#include <QStandardPaths>

namespace brisora::gateway {

QString defaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

} // namespace brisora::gateway
