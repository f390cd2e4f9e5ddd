#include "support/AbortiveClose.h"

#include <sys/socket.h>

namespace brisora::test {

void setAbortiveClose(qintptr descriptor)
{
    const linger hardClose{1, 0};
    ::setsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_LINGER, &hardClose, sizeof hardClose);
}

} // namespace brisora::test
