#include "ImmediateTrayProbe.h"

#include <QSystemTrayIcon>

namespace brisora {

void ImmediateTrayProbe::start()
{
    if (available())
        emit availabilityChanged(true);
}

bool ImmediateTrayProbe::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace brisora
