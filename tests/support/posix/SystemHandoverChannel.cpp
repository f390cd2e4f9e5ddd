#include "support/SystemHandoverChannel.h"

#include "posix/PosixHandoverChannel.h"

namespace brisora::test {

std::unique_ptr<HandoverChannel> makeSystemHandoverChannel()
{
    return std::make_unique<PosixHandoverChannel>();
}

} // namespace brisora::test
