#include "capture_input.h"

#include "ts/stream_parser.h"

void TakeRun(StreamParser& parser, const PacketRun& run)
{
    if (run.stride == kTsPacketSize) {
        TakePackets(parser, run.first, run.count * kTsPacketSize);
        return;
    }
    for (size_t k = 0; k < run.count; ++k) TakePacket(parser, run.first + k * run.stride);
}

CaptureStats FeedCapture(StreamParser& parser, CaptureReader& reader)
{
    PacketRun run;
    while (reader.Next(run)) TakeRun(parser, run);
    return reader.Stats();
}

CaptureStats FeedCaptureBytes(StreamParser& parser, const std::vector<uint8_t>& data)
{
    MemoryCapture source{data.data(), data.size(), 0};
    CaptureReader reader(ReadMemoryCapture, &source);
    return FeedCapture(parser, reader);
}
