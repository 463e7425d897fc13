// Events read in place from a stored EIT section (ARIB STD-B10 EIT event loop). The loop
// runs from byte 14 to the CRC_32 field; a stored section is not trusted to be well
// formed (it may come from the cache file), so an event whose header or descriptor loop
// would run past the CRC ends the walk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/service_entry.h"
#include "broadcast/byte_reader.h"

constexpr int kEitHeaderBytes = 14;
constexpr int kEventHeaderBytes = 12;

struct EventEntry {
    const uint8_t* start = nullptr;  // event_id: the event's first byte
    uint16_t eventId = 0;
    const uint8_t* times = nullptr;  // 8 bytes: start_time and duration, for EventTimes
    uint8_t runningStatus = 0;
    ByteReader Descriptors() const { return ByteReader(descriptors, descriptorsLength); }

    const uint8_t* descriptors = nullptr;
    uint16_t descriptorsLength = 0;
};

class EventCursor {
public:
    EventCursor(const uint8_t* section, size_t length)
    {
        if (section && length >= kEitHeaderBytes + 4)
            m_loop = ByteReader(section + kEitHeaderBytes, length - kEitHeaderBytes - 4);
    }
    explicit EventCursor(const SectionSlot& slot) : EventCursor(slot.data, slot.data ? slot.length : 0) {}

    bool Next(EventEntry& event)
    {
        if (m_loop.Remaining() < kEventHeaderBytes) return false;
        event.start = m_loop.Current();
        event.eventId = m_loop.U16();
        event.times = m_loop.Bytes(8);
        uint16_t flags = m_loop.U16();
        event.runningStatus = static_cast<uint8_t>(flags >> 13);
        event.descriptorsLength = flags & 0x0FFF;
        event.descriptors = m_loop.Bytes(event.descriptorsLength);
        if (!event.descriptors) {
            m_loop = ByteReader();
            return false;
        }
        return true;
    }

private:
    ByteReader m_loop;
};
