// The deterministic sample stream: a small ISDB-T multiplex of several television services
// with TOT, NIT, SDT and EIT present/following and schedule, padded with null packets to a
// realistic share of service-information packets (about 3%).
#pragma once

#include "support/section_builder.h"

struct SampleStreamOptions {
    BroadcastTime start{2026, 12, 7, 23, 59, 0};
    int seconds = 120;            // broadcast time covered, through midnight; a TOT every 5 s
    int scheduleDays = 2;
    int nullPacketsPerPsi = 32;   // padding standing in for audio and video
};

Bytes MakeSampleStream(const SampleStreamOptions& options = {});

// The first day's schedule sections of the sample stream's services, for tests and benchmarks that want
// the sections without the multiplex.
std::vector<Bytes> MakeSampleEitSections(const SampleStreamOptions& options = {});
