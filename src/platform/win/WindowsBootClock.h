#pragma once
// Windows only.

#include "BootClock.h"

namespace brisora {

/// GetTickCount64: milliseconds since the system started, sleep and hibernation included;
/// 64 bits, so it does not wrap after 49 days as GetTickCount does.
class WindowsBootClock final : public BootClock
{
public:
    std::chrono::milliseconds sinceBoot() const override;
};

} // namespace brisora
