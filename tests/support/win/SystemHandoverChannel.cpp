#include "support/SystemHandoverChannel.h"

#include "win/WindowsHandoverChannel.h"

namespace brisora::test {

std::unique_ptr<HandoverChannel> makeSystemHandoverChannel()
{
    return std::make_unique<WindowsHandoverChannel>();
}

} // namespace brisora::test
