#include "support/SystemTcpClient.h"

#include "qt/QtTcpClient.h"

namespace brisora::test {

std::unique_ptr<TcpClient> makeSystemTcpClient()
{
    return std::make_unique<QtTcpClient>();
}

SystemSocketErrors systemSocketErrors()
{
    // Qt Network names a reset as a close by the peer.
    return {QAbstractSocket::ConnectionRefusedError, QAbstractSocket::RemoteHostClosedError,
            [](int number) { return number == QAbstractSocket::HostNotFoundError; }};
}

int systemLookupsInFlight()
{
    return 0; // Qt Network keeps its lookup threads to itself
}

} // namespace brisora::test
