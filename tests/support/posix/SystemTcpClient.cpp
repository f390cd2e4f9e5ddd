#include "support/SystemTcpClient.h"

#include "posix/PosixTcpClient.h"

#include <cerrno>

namespace brisora::test {

std::unique_ptr<TcpClient> makeSystemTcpClient()
{
    return std::make_unique<PosixTcpClient>();
}

SystemSocketErrors systemSocketErrors()
{
    // A lookup fails with its own (negative) code, never an errno value.
    return {ECONNREFUSED, ECONNRESET, [](int number) { return number < 0; }};
}

int systemLookupsInFlight()
{
    return PosixTcpClient::lookupsInFlight();
}

} // namespace brisora::test
