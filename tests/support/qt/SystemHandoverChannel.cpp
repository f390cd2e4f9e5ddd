#include "support/SystemHandoverChannel.h"

#include "qt/QtHandoverChannel.h"

namespace brisora::test {

std::unique_ptr<HandoverChannel> makeSystemHandoverChannel()
{
    return std::make_unique<QtHandoverChannel>();
}

} // namespace brisora::test
