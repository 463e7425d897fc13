// Local calendar readings of time stamps (seconds since 1970, the broadcast time taken as
// local time) for the dates the secondary windows show.
#pragma once

#include <cstdint>
#include <string>

#include "broadcast/broadcast_time.h"

struct LocalCalendarTime {
    int year = 0;
    int month = 0;    // 1..12
    int day = 0;
    int weekday = 0;  // 0 = Sunday
    int hour = 0;
    int minute = 0;
};

// All 0 when the runtime cannot convert the stamp.
LocalCalendarTime LocalCalendarOf(int64_t stamp);

// "日" .. "土"; an index outside 0..6 gives "日".
const char* WeekdayName(int weekday);

// A programme's local "hh:mm～hh:mm"; "hh:mm～" when its duration is undefined, and empty
// when its start is, as neither then says when the programme is on.
std::string TimeSpanText(const EventTimeRange& times);
