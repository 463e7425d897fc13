// The programme store: up to 50 services in service-id order with their EIT sections. The
// table handlers and the cache loader write it; rows, popup, update list, cache writer and
// change detection read it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/service_entry.h"

struct ProgrammeStore {
    ProgrammeStore() = default;
    ~ProgrammeStore();
    ProgrammeStore(const ProgrammeStore&) = delete;
    ProgrammeStore& operator=(const ProgrammeStore&) = delete;

    ServiceEntry* services[kMaxServices] = {};  // owned
    int serviceCount = 0;
    int cacheVersion = 0;
    int dirty = 0;
    int64_t scheduleBase = 0;  // local midnight of the stored schedule's first day
    int lastFound = kNoService;  // FindOrAddService's last answer: sections come service by service
};

// Position 0..49 of the service, added in service-id order when new; kNoService when the
// store is full or the entry cannot be created (the store is then unchanged).
int FindOrAddService(ProgrammeStore& store, uint16_t serviceId);

// Position of the service as FindOrAddService would give it, or kNoService when that would
// add an entry. Never changes the services.
int FindService(ProgrammeStore& store, uint16_t serviceId);

// Frees the sections of all slots and the entry itself. Null is allowed.
void ReleaseServiceEntry(ServiceEntry* entry);

// Releases every service. scheduleBase, dirty and cacheVersion are kept.
void ClearStore(ProgrammeStore& store);

// Makes the slot hold a copy of n bytes, reusing its storage when large enough. On an
// allocation failure the slot keeps what it held and false is returned. The copy counts as
// unchecked (crcChecked 0) until its writer says otherwise.
bool StoreSection(SectionSlot& slot, const uint8_t* section, size_t n);

// Frees the slot's section; versionChanges is kept.
void EmptySlot(SectionSlot& slot);

// Takes over versionChanges, empties the target and stores a copy of the source's bytes.
void CopySlot(SectionSlot& target, const SectionSlot& source);

// Moves a whole slot (its storage changes owner); the source becomes all zero.
void MoveSlot(SectionSlot& target, SectionSlot& source);
