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

}  // namespace

int FindOrAddService(ProgrammeStore& store, uint16_t serviceId)
{
    ServiceEntry** services = store.services;
    for (int i = 0; i < kMaxServices; ++i) {
        if (!services[i]) {
            ServiceEntry* entry = new (std::nothrow) ServiceEntry();
            if (!entry) return kNoService;
            entry->serviceId = serviceId;
            services[i] = entry;
            ++store.serviceCount;
            return i;
        }
        if (services[i]->serviceId == serviceId) return i;
        if (services[i]->serviceId > serviceId && store.serviceCount < kMaxServices) {
            ServiceEntry* entry = new (std::nothrow) ServiceEntry();
            if (!entry) return kNoService;
            entry->serviceId = serviceId;
            std::memmove(&services[i + 1], &services[i], sizeof(services[0]) * (store.serviceCount - i));
            services[i] = entry;
            ++store.serviceCount;
            return i;
        }
    }
    return kNoService;
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
    return true;
}

void EmptySlot(SectionSlot& slot)
{
    delete[] slot.data;
    slot.data = nullptr;
    slot.capacity = 0;
    slot.length = 0;
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
