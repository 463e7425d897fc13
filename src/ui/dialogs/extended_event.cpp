#include "ui/dialogs/extended_event.h"

#include "broadcast/broadcast_time.h"
#include "store/programme_store.h"

namespace {

constexpr uint8_t kExtendedEventTag = 0x4E;  // ARIB STD-B10 extended event descriptor

bool HasExtendedDescriptor(const EventEntry& event)
{
    ByteReader loop = event.Descriptors();
    Descriptor descriptor;
    while (NextDescriptor(loop, descriptor))
        if (descriptor.tag == kExtendedEventTag) return true;
    return false;
}

// Events that ended are passed over; the first covering t is the result; one starting after
// t ends the search.
std::optional<EventEntry> FindCovering(const SectionSlot& slot, int64_t t)
{
    EventCursor cursor(slot);
    EventEntry event;
    while (cursor.Next(event)) {
        const EventTimeRange times = EventTimes(event.times);
        if (times.end <= t) continue;
        if (times.start > t) return std::nullopt;
        return event;
    }
    return std::nullopt;
}

std::optional<EventEntry> FindInPresentFollowing(const ServiceEntry& service, int64_t t)
{
    std::optional<EventEntry> present = FindCovering(service.presentFollowing[0], t);
    if (!present || HasExtendedDescriptor(*present)) return present;
    return FindCovering(service.presentFollowing[1], t);
}

}  // namespace

std::optional<EventEntry> FindExtendedEvent(const ServiceEntry& service, int64_t t)
{
    bool first = true;
    for (const SectionSlot& slot : service.scheduleExtended) {
        if (!slot.data) continue;
        EventCursor cursor(slot);
        EventEntry event;
        while (cursor.Next(event)) {
            const EventTimeRange times = EventTimes(event.times);
            if (first && times.start > t) return FindInPresentFollowing(service, t);
            first = false;
            if (times.end <= t) continue;
            if (times.start > t) return std::nullopt;
            return event;
        }
    }
    return std::nullopt;
}

const ServiceEntry* StoreEntryOfRow(const ProgrammeStore& store, int storeIndex, uint16_t serviceId)
{
    if (storeIndex >= 0 && storeIndex < kMaxServices && store.services[storeIndex] &&
        store.services[storeIndex]->serviceId == serviceId)
        return store.services[storeIndex];
    for (int v = 0; v < kMaxServices && store.services[v]; ++v)
        if (store.services[v]->serviceId == serviceId) return store.services[v];
    return nullptr;
}
