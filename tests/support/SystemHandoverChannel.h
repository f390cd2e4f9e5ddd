#pragma once

#include "HandoverChannel.h"

#include <memory>

namespace brisora::test {

/// The handover channel the widget itself uses on this system.
std::unique_ptr<HandoverChannel> makeSystemHandoverChannel();

} // namespace brisora::test
