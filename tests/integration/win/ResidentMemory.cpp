#include "integration/ResidentMemory.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

namespace brisora::test {

long residentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.WorkingSetSize);
}

} // namespace brisora::test
