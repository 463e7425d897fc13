#include "ui/list/local_clock.h"

#include <ctime>

LocalClockTime LocalClockOf(int64_t stamp)
{
    std::tm tm{};
#ifdef _WIN32
    const __time64_t value = stamp;
    if (_localtime64_s(&tm, &value) != 0) return {};
#else
    const std::time_t value = static_cast<std::time_t>(stamp);
    if (!localtime_r(&value, &tm)) return {};
#endif
    return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int64_t SystemNow()
{
    return static_cast<int64_t>(std::time(nullptr));
}
