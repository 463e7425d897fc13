#include <algorithm>
#include <memory>
#include <vector>

#include "changelog/change_log.h"
#include "store/event_cache.h"
#include "fuzz_readers.h"
#include "fuzz_targets.h"
#include "ts/stream_parser.h"

namespace {

// A TOT first, so the EIT path is open from the first packet on.
const uint8_t kTotPacket[188] = {
    0x47, 0x40, 0x14, 0x10,  // PUSI, PID 0x0014, CC 0
    0x00,                    // pointer_field
    0x73, 0x70, 0x0A,        // TOT, section_length 10
    0xEF, 0xC5, 0x21, 0x00, 0x00,  // 2026-12-07 21:00:00
    0xF0, 0x00,              // descriptors_loop_length 0
    0x00, 0x00, 0x00, 0x00,  // CRC_32 (not checked for the clock)
};

constexpr int kTicks = 4;  // window ticks spread over the input, the last after all of it

// Packets on the service-information PIDs (0x10-0x14) keep theirs; most others are moved
// there. A set error bit keeps any PID, so the intake's filter is reached too.
void FavourServiceInformation(std::vector<uint8_t>& packets)
{
    for (size_t p = 0; p + 188 <= packets.size(); p += 188) {
        uint8_t* packet = &packets[p];
        packet[0] = 0x47;
        const unsigned pid = (packet[1] & 0x1F) << 8 | packet[2];
        if ((pid >= 0x10 && pid <= 0x14) || (packet[1] & 0x80)) continue;
        const unsigned favoured = 0x10 + packet[2] % 5;
        packet[1] = static_cast<uint8_t>(packet[1] & 0x60);
        packet[2] = static_cast<uint8_t>(favoured);
    }
}

}  // namespace

void FuzzIntake(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    // The plain intake beside the fast one: whatever the input, both must keep the same store.
    auto parser = std::make_unique<StreamParser>();
    auto plain = std::make_unique<StreamParser>();
    plain->plainIntake = true;
    ChangeLog log, plainLog;
    TakePackets(*parser, kTotPacket, sizeof kTotPacket);
    TakePackets(*plain, kTotPacket, sizeof kTotPacket);
    // The first byte picks how the host cuts its blocks, fragments included.
    const size_t blockSize = 1 + data[0] * 7u;
    std::vector<uint8_t> packets(data + 1, data + size);
    FavourServiceInformation(packets);
    const size_t tickEvery = packets.size() / kTicks + 1;
    size_t nextTick = tickEvery;
    for (size_t pos = 0; pos < packets.size(); pos += blockSize) {
        const size_t n = std::min(blockSize, packets.size() - pos);
        // Each block in its own allocation, so a read past its end is caught.
        std::vector<uint8_t> block(packets.begin() + static_cast<long>(pos), packets.begin() + static_cast<long>(pos + n));
        TakePackets(*parser, block.data(), block.size());
        TakePackets(*plain, block.data(), block.size());
        if (pos + n >= nextTick && pos + n < packets.size()) {
            RunWindowTick(*parser, log);
            RunWindowTick(*plain, plainLog);
            nextTick += tickEvery;
        }
    }
    ReadStore(*parser);
    RunWindowTick(*parser, log);
    RunWindowTick(*plain, plainLog);
    std::vector<uint8_t> image, plainImage;
    FuzzCheck(BuildEventCacheImage(parser->store, image) && BuildEventCacheImage(plain->store, plainImage),
              "no cache image");
    FuzzCheck(image == plainImage && parser->sectionCount == plain->sectionCount &&
                  parser->store.dirty == plain->store.dirty && parser->store.scheduleBase == plain->store.scheduleBase,
              "the fast intake kept another store than the plain one");
}
