#include "ui/list/local_clock.h"

#include <ctime>

#include "broadcast/local_time.h"

LocalClockTime LocalClockOf(int64_t stamp)
{
    std::tm tm{};
    if (!ToLocalTime(stamp, tm)) return {};
    return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int64_t SystemNow()
{
    return static_cast<int64_t>(std::time(nullptr));
}
