// Broadcast dates and times (ARIB STD-B10: MJD dates, BCD times) and the time stamps made
// from them. A time stamp is seconds since 1970 of a broadcast date and time taken as local
// time, so it matches the system clock when the machine's zone is Japan's.
#pragma once

#include <cstdint>

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct EventTimeRange {
    int64_t start = 0;
    int64_t end = 0;
};

CalendarDate MjdToDate(uint16_t mjd);

constexpr int Bcd(uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); }

// The platform's local-time conversion of a broken-down date and time, no daylight saving.
int64_t LocalTimeStamp(int year, int month, int day, int hour, int minute, int second);

// Start and end of an event from the 5-byte start_time and 3-byte duration at p[0..7].
EventTimeRange EventTimes(const uint8_t* p);

// ARIB STD-B10 marks an unknown start_time or duration (a live broadcast that may overrun)
// with all bits 1. EventTimes converts such fields like any others and every decision keeps
// that arithmetic; only what is shown must not present the made-up time. Both answers come
// from the stamps alone, so a change-log record read back from its file answers as its
// event did: no other duration lasts 165:165:165, and the start is the one all ones give
// (a real start would have to fall on that very second in April 2038; where the platform
// cannot convert dates past January 2038, the undefined start is the stamp that failure gives).
bool StartUndefined(int64_t start);
bool DurationUndefined(const EventTimeRange& times);

// Local midnight of the day an MJD names.
int64_t MjdMidnight(uint16_t mjd);
