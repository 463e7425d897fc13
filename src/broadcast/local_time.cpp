#include "broadcast/local_time.h"

bool ToLocalTime(int64_t stamp, std::tm& out)
{
    std::tm tm{};
#ifdef _WIN32
    const __time64_t value = stamp;
    if (_localtime64_s(&tm, &value) != 0) return false;
#else
    const std::time_t value = static_cast<std::time_t>(stamp);
    if (!localtime_r(&value, &tm)) return false;
#endif
    out = tm;
    return true;
}
