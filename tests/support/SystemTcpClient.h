#pragma once

#include "TcpClient.h"

#include <memory>

namespace brisora::test {

/// The socket client the widget itself uses on this system, for the tests that drive the
/// fetch and the search over real sockets.
std::unique_ptr<TcpClient> makeSystemTcpClient();

} // namespace brisora::test
