// Operations on the programme store held by the StreamParser (services, serviceCount).
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/service_entry.h"

struct StreamParser;

// Position 0..49 of the service, added in service-id order when new; kNoService when the
// store is full or the entry cannot be created (the store is then unchanged).
int FindOrAddService(StreamParser& parser, uint16_t serviceId);

// Frees the sections of all slots and the entry itself. Null is allowed.
void ReleaseServiceEntry(ServiceEntry* entry);

// Releases every service and every section buffer. Clock, scheduleBase, dirty and
// cacheVersion are kept.
void ClearStore(StreamParser& parser);

// Makes the slot hold a copy of n bytes, reusing its storage when large enough. On an
// allocation failure the slot keeps what it held and false is returned.
bool StoreSection(SectionSlot& slot, const uint8_t* section, size_t n);

// Frees the slot's section; versionChanges is kept.
void EmptySlot(SectionSlot& slot);

// Takes over versionChanges, empties the target and stores a copy of the source's bytes.
void CopySlot(SectionSlot& target, const SectionSlot& source);

// Moves a whole slot (its storage changes owner); the source becomes all zero.
void MoveSlot(SectionSlot& target, SectionSlot& source);
