#include "capture_input.h"

#include <cstdio>

#include "ts/stream_parser.h"

bool ReadCaptureFile(const char* path, std::vector<uint8_t>& out)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// 188-byte packets, or 192-byte packets with a 4-byte time-code prefix: whichever keeps
// the sync byte in place over the first packets.
size_t PacketStride(const std::vector<uint8_t>& data)
{
    for (size_t stride : {size_t{188}, size_t{192}}) {
        const size_t offset = stride - 188;
        size_t checked = 0, synced = 0;
        for (size_t pos = offset; pos < data.size() && checked < 16; pos += stride, ++checked)
            synced += data[pos] == 0x47;
        if (checked > 0 && synced == checked) return stride;
    }
    return 188;
}

void FeedCapture(StreamParser& parser, const std::vector<uint8_t>& data, size_t stride)
{
    if (stride == 188) {
        TakePackets(parser, data.data(), data.size());
        return;
    }
    for (size_t pos = 0; pos + stride <= data.size(); pos += stride) TakePacket(parser, data.data() + pos + 4);
}

