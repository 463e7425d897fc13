// The deterministic sample stream: a small ISDB-T multiplex of several television services
// with TOT, NIT, SDT and EIT present/following and schedule, padded with null packets to a
// realistic share of service-information packets (about 3%).
#pragma once

#include "support/section_builder.h"

struct SampleStreamOptions {
    BroadcastTime start{2026, 12, 7, 20, 58, 0};
    int seconds = 60;             // broadcast time covered; one TOT every 5 s
    int scheduleDays = 2;
    int nullPacketsPerPsi = 32;   // padding standing in for audio and video
};

Bytes MakeSampleStream(const SampleStreamOptions& options = {});

// Every EIT section of the sample stream's services, for tests and benchmarks that want
// the sections without the multiplex.
std::vector<Bytes> MakeSampleEitSections(const SampleStreamOptions& options = {});
