// Preloaded into a program under test (LD_PRELOAD): moves its boot-time and wall clocks
// ahead by the whole seconds written in the file that BRISORA_CLOCK_SHIFT_FILE names, read
// afresh at every reading of those two clocks. The monotonic clock, which the program's
// timers run on, stays as it is: what a program sees after the machine has slept.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using ClockGettime = int (*)(clockid_t, timespec*);

ClockGettime systemClockGettime()
{
    static const auto next = reinterpret_cast<ClockGettime>(::dlsym(RTLD_NEXT, "clock_gettime"));
    return next;
}

long shiftSeconds()
{
    const char* path = std::getenv("BRISORA_CLOCK_SHIFT_FILE");
    const int file = path ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (file < 0)
        return 0;
    char text[32] = {};
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    return length > 0 ? std::strtol(text, nullptr, 10) : 0;
}

} // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* reading) noexcept
{
    const int result = systemClockGettime()(clock, reading);
    if (result == 0 && (clock == CLOCK_BOOTTIME || clock == CLOCK_REALTIME))
        reading->tv_sec += shiftSeconds();
    return result;
}
