#pragma once

#include <chrono>

namespace brisora {

/// The time since the machine started, sleep and hibernation included.
class BootClock
{
public:
    virtual ~BootClock() = default;

    /// Never smaller than an earlier reading, and it goes on while the machine sleeps (the
    /// timers' own clock stands still then).
    virtual std::chrono::milliseconds sinceBoot() const = 0;
};

} // namespace brisora
