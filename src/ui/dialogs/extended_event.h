// The stored event whose extended description the details popup shows: found by time in the
// service's extended schedule sections, or, when the first of those starts later than the
// programme, in the present/following sections.
#pragma once

#include <cstdint>
#include <optional>

#include "store/event_entry.h"
#include "store/service_entry.h"

struct ProgrammeStore;

// The event covering t (start <= t < end); its descriptorsLength is the event's
// descriptors_loop_length. Nothing when every extended schedule slot is empty.
std::optional<EventEntry> FindExtendedEvent(const ServiceEntry& service, int64_t t);

// The store entry of a row: the one at storeIndex when it still has the row's service id,
// else the entry with that id (entries shift when a service is added in front of them after
// the rows were built). Null when the store no longer holds the service.
const ServiceEntry* StoreEntryOfRow(const ProgrammeStore& store, int storeIndex, uint16_t serviceId);
