// A capture read in fixed blocks, whatever its size: runs of whole packets at the stride
// found in the data, with sync found again after a damaged stretch. The bytes that belong
// to no packet are counted and their places kept (the first kMaxSkipsKept of them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "packet_sync.h"

constexpr size_t kReadBlockBytes = 1u << 20;
constexpr size_t kMaxSkipsKept = 100;

struct SkippedStretch {
    uint64_t offset = 0;  // from the start of the input
    uint64_t bytes = 0;
};

struct CaptureStats {
    size_t stride = 0;  // of the last run; 0 = no packet found
    uint64_t packets = 0;
    uint64_t bytesRead = 0;
    bool onlyStuffing = true;  // no packet seen with another PID than 0x1FFF
    uint64_t skippedBytes = 0;
    uint64_t skipCount = 0;
    std::vector<SkippedStretch> skips;  // the first kMaxSkipsKept
    uint64_t truncatedTail = 0;         // bytes of a last packet cut short
    bool readError = false;
};

// Whole packets at one stride; `first` points at the first sync byte. Valid until the next
// call to CaptureReader::Next.
struct PacketRun {
    const uint8_t* first = nullptr;
    size_t count = 0;
    size_t stride = kTsPacketSize;
};

// Fills out[0, size) as far as it can; 0 at the end; sets *failed on a read error.
using CaptureReadFunction = size_t (*)(void* context, uint8_t* out, size_t size, bool* failed);

class CaptureReader {
public:
    CaptureReader(CaptureReadFunction read, void* context);
    bool Next(PacketRun& run);
    const CaptureStats& Stats() const { return m_stats; }

private:
    bool Refill();
    bool Lock();
    void Skip(uint64_t offset, uint64_t bytes);

    CaptureReadFunction m_read;
    void* m_context;
    std::vector<uint8_t> m_buffer;
    size_t m_pos = 0;
    size_t m_end = 0;
    uint64_t m_bufferOffset = 0;  // input offset of m_buffer[0]
    uint64_t m_consumedEnd = 0;   // input offset just after the last packet unit taken
    size_t m_stride = 0;          // 0 = out of sync
    bool m_atEnd = false;
    CaptureStats m_stats;
};

// Standard C streams as a capture source (context: a std::FILE*).
size_t ReadCaptureStream(void* context, uint8_t* out, size_t size, bool* failed);

// Bytes in memory as a capture source (context: a MemoryCapture).
struct MemoryCapture {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};
size_t ReadMemoryCapture(void* context, uint8_t* out, size_t size, bool* failed);
