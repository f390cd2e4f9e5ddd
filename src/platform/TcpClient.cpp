#include "TcpClient.h"

#include <algorithm>

namespace brisora {

bool TcpClient::takeArrivedInto(std::string& kept, std::size_t limit)
{
    if (State() != kStateConnected)
        return false;
    const QByteArray chunk = GetData();
    const std::size_t room = limit - std::min(limit, kept.size());
    kept.append(chunk.constData(), std::min<std::size_t>(room, chunk.size()));
    return true;
}

} // namespace brisora
