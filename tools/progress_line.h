// A one-line progress display on a terminal's standard error while a long input is read:
// percentage when the size is known, megabytes and megabytes per second always; rewritten
// in place and cleared at the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr uint64_t kProgressThresholdBytes = 100'000'000;

// "  42%  1234 MB  1502 MB/s" (no percentage when total is 0, the size unknown).
std::string FormatProgress(uint64_t bytes, uint64_t total, double seconds);

class ProgressLine {
public:
    // Shows nothing unless `enabled` (a terminal, not --quiet); then only for an input
    // over the threshold, known from its size or from what has been read.
    ProgressLine(std::FILE* out, bool enabled, uint64_t total);
    ~ProgressLine() { Finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Update(uint64_t bytes);
    void Finish();

private:
    std::FILE* m_out;
    bool m_enabled;
    uint64_t m_total;
    bool m_shown = false;
    double m_start = 0;  // seconds
    double m_last = 0;
};
