// A capture through the parser exactly as the plug-in's data call takes it: 188-byte
// packets, whatever the stride the capture was recorded with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture_reader.h"

struct StreamParser;
class ProgressLine;

// Every packet of a run through the intake.
void TakeRun(StreamParser& parser, const PacketRun& run);

// Everything the reader finds, block by block.
CaptureStats FeedCapture(StreamParser& parser, CaptureReader& reader, ProgressLine* progress = nullptr);

// The same for a capture held in memory.
CaptureStats FeedCaptureBytes(StreamParser& parser, const std::vector<uint8_t>& data);

struct MemoryCapture {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};
size_t ReadMemoryCapture(void* context, uint8_t* out, size_t size, bool* failed);
