#include <memory>
#include <vector>

#include "aribtext/arib_decoder.h"
#include "fuzz_targets.h"
#include "store/event_entry.h"
#include "ts/broadcast_time.h"
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

// Reads every stored section the way the list, the popup and the change log do: events,
// their descriptors and their texts.
void ReadStore(const StreamParser& parser)
{
    char text[256];
    for (const ServiceEntry* s : parser.services) {
        if (!s) break;
        DecodeAribText(s->serviceName, s->serviceNameLength, text, sizeof text);
        DecodeAribText(s->providerName, s->providerNameLength, text, sizeof text);
        DecodeAribText(s->tsName, s->tsNameLength, text, sizeof text);
        auto walk = [&](const SectionSlot& slot) {
            EventCursor cursor(slot);
            EventEntry e;
            while (cursor.Next(e)) {
                EventTimes(e.times);
                ByteReader loop = e.Descriptors();
                Descriptor d;
                while (NextDescriptor(loop, d)) DecodeAribText(d.body, d.length, text, sizeof text);
            }
        };
        for (const SectionSlot& slot : s->presentFollowing) walk(slot);
        for (const SectionSlot& slot : s->schedule) walk(slot);
        for (const SectionSlot& slot : s->scheduleExtended) walk(slot);
        for (const SectionSlot& slot : s->scheduleOriginal) walk(slot);
    }
}

}  // namespace

void FuzzIntake(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    auto parser = std::make_unique<StreamParser>();
    TakePackets(*parser, kTotPacket, sizeof kTotPacket);
    // The first byte picks how the host cuts its blocks, fragments included.
    const size_t blockSize = 1 + data[0] * 7u;
    ++data;
    --size;
    std::vector<uint8_t> packets(data, data + size);
    for (size_t p = 0; p + 188 <= packets.size(); p += 188) {
        uint8_t* packet = &packets[p];
        packet[0] = 0x47;
        // Most packets go to the service-information PIDs; a set error bit keeps the raw PID.
        if (!(packet[1] & 0x80)) {
            const unsigned pid = 0x10 + packet[2] % 5;
            packet[1] = static_cast<uint8_t>((packet[1] & 0x60) | (pid >> 8));
            packet[2] = static_cast<uint8_t>(pid);
        }
    }
    for (size_t pos = 0; pos < packets.size(); pos += blockSize) {
        const size_t n = std::min(blockSize, packets.size() - pos);
        // Each block in its own allocation, so a read past its end is caught.
        std::vector<uint8_t> block(packets.begin() + static_cast<long>(pos), packets.begin() + static_cast<long>(pos + n));
        TakePackets(*parser, block.data(), block.size());
    }
    ReadStore(*parser);
}
