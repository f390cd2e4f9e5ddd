#include "support/SystemTcpClient.h"

#include "win/WindowsTcpClient.h"

#include <winsock2.h>

namespace brisora::test {

std::unique_ptr<TcpClient> makeSystemTcpClient()
{
    return std::make_unique<WindowsTcpClient>();
}

SystemSocketErrors systemSocketErrors()
{
    return {WSAECONNREFUSED, WSAECONNRESET, [](int number) {
                return number == WSAHOST_NOT_FOUND || number == WSATRY_AGAIN ||
                       number == WSANO_RECOVERY || number == WSANO_DATA;
            }};
}

int systemLookupsInFlight()
{
    return WindowsTcpClient::lookupsInFlight();
}

} // namespace brisora::test
