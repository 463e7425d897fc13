#include "changelog/event_summary.h"

#include <cstring>

#include "broadcast/broadcast_time.h"

namespace {

constexpr uint8_t kTagShortEvent = 0x4D;
constexpr uint8_t kTagComponent = 0x50;
constexpr uint8_t kTagContent = 0x54;
constexpr uint8_t kTagAudioComponent = 0xC4;

int CopyEventName(const Descriptor& d, uint8_t* name, int capacity)
{
    ByteReader body(d.body, d.length);
    body.Skip(3);  // ISO_639_language_code
    uint8_t nameLength = body.U8();
    if (!body.Ok()) return 0;
    size_t take = nameLength;
    if (take > static_cast<size_t>(capacity)) take = static_cast<size_t>(capacity);
    if (take > body.Remaining()) take = body.Remaining();
    if (take) std::memcpy(name, body.Current(), take);
    return static_cast<int>(take);
}

}  // namespace

int ReadEventSummary(const EventEntry& event, uint8_t* name, int capacity, uint8_t& videoType,
                     uint8_t& audioType, uint8_t& genre)
{
    int nameLength = 0;
    ByteReader loop = event.Descriptors();
    Descriptor d;
    while (NextDescriptor(loop, d)) {
        switch (d.tag) {
        case kTagShortEvent: nameLength = CopyEventName(d, name, capacity); break;
        // Body offset 1 is the descriptor's byte 3: component_type.
        case kTagComponent:
            if (d.length >= 2) videoType = d.body[1];
            break;
        case kTagAudioComponent:
            if (d.length >= 2) audioType = d.body[1];
            break;
        case kTagContent:
            if (d.length >= 1) genre = static_cast<uint8_t>(d.body[0] >> 4);
            break;
        default: break;
        }
    }
    return nameLength;
}

EventSnapshot SnapshotOf(const EventEntry& event)
{
    EventSnapshot s;
    EventTimeRange times = EventTimes(event.times);
    s.start = times.start;
    s.end = times.end;
    s.nameLength = static_cast<uint16_t>(
        ReadEventSummary(event, s.name, kEventNameBytes, s.videoType, s.audioType, s.genre));
    return s;
}
