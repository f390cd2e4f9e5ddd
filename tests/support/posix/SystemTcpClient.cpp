#include "support/SystemTcpClient.h"

#include "posix/PosixTcpClient.h"

namespace brisora::test {

std::unique_ptr<TcpClient> makeSystemTcpClient()
{
    return std::make_unique<PosixTcpClient>();
}

} // namespace brisora::test
