// Stores, logs and files for the hardening suites: a store filled by the intake from the
// sample stream, a change log of real detections, and byte-exact file checks.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "store/event_cache.h"
#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "support/test_files.h"
#include "ts/stream_parser.h"

// A store as the intake leaves it after `seconds` of the sample stream from 21:00.
inline std::unique_ptr<StreamParser> SampleStore(int seconds, int scheduleDays = 1)
{
    SampleStreamOptions options;
    options.start = {2026, 12, 7, 21, 0, 0};
    options.seconds = seconds;
    options.scheduleDays = scheduleDays;
    options.nullPacketsPerPsi = 0;
    const Bytes stream = MakeSampleStream(options);
    auto parser = std::make_unique<StreamParser>();
    TakePackets(*parser, stream.data(), stream.size());
    return parser;
}

inline Bytes CacheImage(const StreamParser& parser)
{
    Bytes image;
    EXPECT_TRUE(BuildEventCacheImage(parser.store, image));
    return image;
}

// A log of n records, each naming its number.
inline ChangeLog NumberedLog(int n, int64_t base = 1800000000)
{
    ChangeLog log;
    for (int i = 0; i < n; ++i) {
        ChangeRecord r;
        r.serviceId = static_cast<uint16_t>(0x0400 + i);
        r.before.start = base + i * 60;
        r.before.end = r.before.start + 1800;
        // snprintf, not string concatenation: GCC 12 warns wrongly about the latter (PR 105329).
        r.before.nameLength = static_cast<uint16_t>(
            std::snprintf(reinterpret_cast<char*>(r.before.name), kEventNameBytes, "programme %d", i));
        r.after = r.before;
        r.after.start += 300;
        log.Append(r);
    }
    return log;
}

// The bytes SaveChangeLog writes for the log (through a scratch file).
inline Bytes ChangeLogImage(const ChangeLog& log, const std::string& scratch)
{
    EXPECT_TRUE(SaveChangeLog(log, scratch.c_str()));
    Bytes bytes = ReadFileBytes(scratch);
    std::remove(scratch.c_str());
    return bytes;
}
