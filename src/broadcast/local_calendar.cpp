#include "broadcast/local_calendar.h"

#include <cstdio>
#include <ctime>

#include "broadcast/local_time.h"

LocalCalendarTime LocalCalendarOf(int64_t stamp)
{
    std::tm tm{};
    if (!ToLocalTime(stamp, tm)) return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min};
}

const char* WeekdayName(int weekday)
{
    static const char* const kNames[7] = {"日", "月", "火", "水", "木", "金", "土"};
    return weekday >= 0 && weekday < 7 ? kNames[weekday] : kNames[0];
}

std::string TimeSpanText(const EventTimeRange& times)
{
    if (StartUndefined(times.start)) return {};
    const LocalCalendarTime start = LocalCalendarOf(times.start);
    char text[32];
    int used = std::snprintf(text, sizeof text, "%02d:%02d～", start.hour, start.minute);
    if (!DurationUndefined(times)) {
        const LocalCalendarTime end = LocalCalendarOf(times.end);
        std::snprintf(text + used, sizeof text - used, "%02d:%02d", end.hour, end.minute);
    }
    return text;
}
