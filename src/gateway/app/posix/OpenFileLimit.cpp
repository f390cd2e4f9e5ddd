#include "OpenFileLimit.h"

#include <algorithm>
#include <sys/resource.h>

namespace brisora::gateway {

long raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur != limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    constexpr rlim_t ceiling = 1'000'000'000;
    return static_cast<long>(std::min(limit.rlim_cur, ceiling));
}

} // namespace brisora::gateway
