#include "capture_input.h"

#include <algorithm>
#include <cstring>

#include "progress_line.h"
#include "ts/stream_parser.h"

void TakeRun(StreamParser& parser, const PacketRun& run)
{
    if (run.stride == kTsPacketSize) {
        TakePackets(parser, run.first, run.count * kTsPacketSize);
        return;
    }
    for (size_t k = 0; k < run.count; ++k) TakePacket(parser, run.first + k * run.stride);
}

CaptureStats FeedCapture(StreamParser& parser, CaptureReader& reader, ProgressLine* progress)
{
    PacketRun run;
    while (reader.Next(run)) {
        TakeRun(parser, run);
        if (progress) progress->Update(reader.Stats().bytesRead);
    }
    if (progress) progress->Finish();
    return reader.Stats();
}

size_t ReadMemoryCapture(void* context, uint8_t* out, size_t size, bool*)
{
    auto& source = *static_cast<MemoryCapture*>(context);
    const size_t n = std::min(size, source.size - source.position);
    if (n) std::memcpy(out, source.data + source.position, n);
    source.position += n;
    return n;
}

CaptureStats FeedCaptureBytes(StreamParser& parser, const std::vector<uint8_t>& data)
{
    MemoryCapture source{data.data(), data.size(), 0};
    CaptureReader reader(ReadMemoryCapture, &source);
    return FeedCapture(parser, reader);
}
