// Reading a capture file into the parser exactly as the plug-in's data call does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct StreamParser;

bool ReadCaptureFile(const char* path, std::vector<uint8_t>& out);

// 188-byte packets, or 192-byte packets with a 4-byte time-code prefix.
size_t PacketStride(const std::vector<uint8_t>& data);

// Every whole packet, in order, through the intake.
void FeedCapture(StreamParser& parser, const std::vector<uint8_t>& data, size_t stride);
