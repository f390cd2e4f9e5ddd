#pragma once
// Linux only.

#include "BootClock.h"

namespace brisora {

/// The kernel's boot-time clock (CLOCK_BOOTTIME): the monotonic clock plus the time spent
/// suspended.
class PosixBootClock final : public BootClock
{
public:
    std::chrono::milliseconds sinceBoot() const override;
};

} // namespace brisora
