#include "HandedSocket.h"

namespace brisora::gateway {

// No service manager on Windows hands a socket over: the gateway binds its own.
HandedSocket takeHandedSocket()
{
    return {};
}

} // namespace brisora::gateway
