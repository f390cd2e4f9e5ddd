#include "OpenFileLimit.h"

namespace brisora::gateway {

// Windows counts sockets against no per-process descriptor limit that could be raised.
long raiseOpenFileLimit()
{
    return -1;
}

} // namespace brisora::gateway
