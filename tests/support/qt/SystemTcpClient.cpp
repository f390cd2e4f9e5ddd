#include "support/SystemTcpClient.h"

#include "qt/QtTcpClient.h"

namespace brisora::test {

std::unique_ptr<TcpClient> makeSystemTcpClient()
{
    return std::make_unique<QtTcpClient>();
}

} // namespace brisora::test
