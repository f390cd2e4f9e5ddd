#pragma once

#include "BootClock.h"

namespace brisora::test {

/// A boot-time clock that moves only when the test moves it.
class FakeBootClock final : public BootClock
{
public:
    std::chrono::milliseconds sinceBoot() const override { return now; }

    std::chrono::milliseconds now = std::chrono::hours(5); // a machine up for a while
};

} // namespace brisora::test
