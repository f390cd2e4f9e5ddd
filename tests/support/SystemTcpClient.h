#pragma once

#include "TcpClient.h"

#include <memory>

namespace brisora::test {

/// The socket client the widget itself uses on this system, for the tests that drive the
/// fetch and the search over real sockets.
std::unique_ptr<TcpClient> makeSystemTcpClient();

/// The numbers that client reports for the failures the tests provoke.
struct SystemSocketErrors
{
    int refused; ///< nothing listens at the address
    int reset;   ///< the peer reset the connection
    /// True for the numbers of a failed name lookup, and for no other failure.
    bool (*isLookupFailure)(int number);
};
SystemSocketErrors systemSocketErrors();

/// That client's name lookups still running on threads of their own.
int systemLookupsInFlight();

} // namespace brisora::test
