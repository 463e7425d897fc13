// A capture through the parser exactly as the plug-in's data call takes it: 188-byte
// packets, whatever the stride the capture was recorded with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture_reader.h"

struct StreamParser;

// Every packet of a run through the intake.
void TakeRun(StreamParser& parser, const PacketRun& run);

// Everything the reader finds, block by block.
CaptureStats FeedCapture(StreamParser& parser, CaptureReader& reader);

// The same for a capture held in memory.
CaptureStats FeedCaptureBytes(StreamParser& parser, const std::vector<uint8_t>& data);
