// Local clock readings of time stamps (seconds since 1970, the broadcast time taken as local
// time).
#pragma once

#include <cstdint>

struct LocalClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Local hour, minute and second of a stamp; all 0 when the runtime cannot convert it.
LocalClockTime LocalClockOf(int64_t stamp);

// The system clock as a time stamp.
int64_t SystemNow();
