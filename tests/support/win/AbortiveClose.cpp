#include "support/AbortiveClose.h"

#include <winsock2.h>

namespace brisora::test {

void setAbortiveClose(qintptr descriptor)
{
    const linger hardClose{1, 0};
    ::setsockopt(static_cast<SOCKET>(descriptor), SOL_SOCKET, SO_LINGER,
                 reinterpret_cast<const char*>(&hardClose), sizeof hardClose);
}

} // namespace brisora::test
