#include "PosixBootClock.h"

#include <time.h>

namespace brisora {

std::chrono::milliseconds PosixBootClock::sinceBoot() const
{
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

} // namespace brisora
