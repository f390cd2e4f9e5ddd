#include "WindowsBootClock.h"

#include <windows.h>

namespace brisora {

std::chrono::milliseconds WindowsBootClock::sinceBoot() const
{
    return std::chrono::milliseconds(
        static_cast<std::chrono::milliseconds::rep>(::GetTickCount64()));
}

} // namespace brisora
