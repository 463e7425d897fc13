#include "store/programme_store.h"

#include <cstring>
#include <new>

namespace {

void FreeSlots(SectionSlot* slots, int count)
{
    for (int i = 0; i < count; ++i) {
        delete[] slots[i].data;
        slots[i] = SectionSlot{};
    }
}

// Where the scan of the store for a service id ends: the position of the entry, or where a
// new one goes (`found` false; kNoService when the store is full).
struct ServicePosition {
    int index = kNoService;
    bool found = false;
};

ServicePosition Scan(const ProgrammeStore& store, uint16_t serviceId)
{
    ServiceEntry* const* services = store.services;
    for (int i = 0; i < kMaxServices; ++i) {
        if (!services[i]) return {i, false};
        if (services[i]->serviceId == serviceId) return {i, true};
        if (services[i]->serviceId > serviceId && store.serviceCount < kMaxServices) return {i, false};
    }
    return {};
}

// The hint is only ever the scan's answer for its service, and every change of the array
// either goes through FindOrAddService (which sets it) or ClearStore (which drops it).
bool HintHolds(const ProgrammeStore& store, uint16_t serviceId)
{
    const int hint = store.lastFound;
    return hint < kMaxServices && store.services[hint] && store.services[hint]->serviceId == serviceId;
}

}  // namespace

int FindService(ProgrammeStore& store, uint16_t serviceId)
{
    if (HintHolds(store, serviceId)) return store.lastFound;
    const ServicePosition at = Scan(store, serviceId);
    if (!at.found) return kNoService;
    store.lastFound = at.index;
    return at.index;
}

int FindOrAddService(ProgrammeStore& store, uint16_t serviceId)
{
    if (HintHolds(store, serviceId)) return store.lastFound;
    const ServicePosition at = Scan(store, serviceId);
    if (!at.found && at.index != kNoService) {
        ServiceEntry* entry = new (std::nothrow) ServiceEntry();
        if (!entry) return kNoService;
        entry->serviceId = serviceId;
        ServiceEntry** services = store.services;
        if (services[at.index])
            std::memmove(&services[at.index + 1], &services[at.index],
                         sizeof(services[0]) * static_cast<size_t>(store.serviceCount - at.index));
        services[at.index] = entry;
        ++store.serviceCount;
    }
    store.lastFound = at.index;
    return at.index;
}

void ReleaseServiceEntry(ServiceEntry* entry)
{
    if (!entry) return;
    FreeSlots(entry->schedule, kScheduleSlots);
    FreeSlots(entry->scheduleExtended, kScheduleSlots);
    FreeSlots(entry->presentFollowing, 2);
    FreeSlots(entry->scheduleOriginal, kScheduleSlots);
    delete entry;
}

ProgrammeStore::~ProgrammeStore() { ClearStore(*this); }

void ClearStore(ProgrammeStore& store)
{
    for (ServiceEntry*& entry : store.services) {
        ReleaseServiceEntry(entry);
        entry = nullptr;
    }
    store.serviceCount = 0;
    store.lastFound = kNoService;
}

bool StoreSection(SectionSlot& slot, const uint8_t* section, size_t n)
{
    if (n > 0xFFFF) return false;
    if (!slot.data || slot.capacity < n) {
        uint8_t* storage = new (std::nothrow) uint8_t[n ? n : 1];
        if (!storage) return false;
        delete[] slot.data;
        slot.data = storage;
        slot.capacity = static_cast<uint16_t>(n);
    }
    if (n) std::memcpy(slot.data, section, n);
    slot.length = static_cast<uint16_t>(n);
    slot.crcChecked = 0;
    return true;
}

void EmptySlot(SectionSlot& slot)
{
    delete[] slot.data;
    slot.data = nullptr;
    slot.capacity = 0;
    slot.length = 0;
    slot.crcChecked = 0;
}

void CopySlot(SectionSlot& target, const SectionSlot& source)
{
    if (&target == &source) return;
    target.versionChanges = source.versionChanges;
    EmptySlot(target);
    if (source.data && source.length) StoreSection(target, source.data, source.length);
}

void MoveSlot(SectionSlot& target, SectionSlot& source)
{
    if (&target == &source) return;
    delete[] target.data;
    target = source;
    source = SectionSlot{};
}
