// A full store's worth of broadcast for benchmarks: 50 services with eight days of basic
// and extended schedule (one section per three-hour segment, three or four programmes with
// Japanese names and texts), their present/following sections, and the SDT and NIT naming
// them. The schedule starts at the midnight of kFullScheduleClock's day.
#pragma once

#include <vector>

#include "support/section_builder.h"

constexpr int kFullScheduleServices = 50;
constexpr int kFullScheduleDays = 8;
constexpr BroadcastTime kFullScheduleClock{2026, 12, 7, 20, 0, 0};

struct FullSchedule {
    std::vector<Bytes> eit;  // schedule and present/following, service by service
    Bytes sdt;
    Bytes nit;
    size_t sectionBytes = 0;  // all sections, table_id through CRC_32
};

// version: the version_number of every EIT section.
FullSchedule MakeFullSchedule(int version = 1);

// A transport stream that is service information only: a TOT, the NIT and SDT, then every EIT
// section, the whole carousel `cycles` times over with continuity counters running on.
Bytes MakeFullScheduleStream(const FullSchedule& schedule, int cycles = 1);
