// The broadcaster's day change as the EIT handler sees it (ARIB STD-B10 5.2.7):
// a schedule section whose first event falls on another date than the one stored in
// its slot moves the whole stored schedule of every service by one day.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/service_entry.h"

struct StreamParser;

enum class DayChange {
    None,       // same date, empty slot, or no first event to compare: store the section
    Shifted,    // the store moved by one day: test the section again against it
    Discarded,  // stale or premature data: the section is dropped, the store unchanged
};

// start_time and duration (8 bytes) of a section's first event, or null when the section
// holds no complete event header before its CRC_32.
const uint8_t* FirstEventTimes(const uint8_t* section, size_t length);

// Compares the stored section of the target slot with the new one and, when the date
// differs and both guards pass, moves the schedule and sets scheduleBase. Writes the
// day-change line and the discard lines to the debugger output.
DayChange RunDayChange(StreamParser& parser, const SectionSlot& stored, const uint8_t* section, size_t length);

// Every service drops its first stored day: the day's last basic and extended sections
// go to presentFollowing slots 0 and 1, the other seven days move down by 64 slots and
// the eighth day is empty.
void ShiftScheduleOneDay(StreamParser& parser);
