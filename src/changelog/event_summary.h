// What the change log keeps of an event: its times, name and three descriptor values.
#pragma once

#include <cstdint>

#include "changelog/change_log.h"
#include "store/event_entry.h"

// Walks the event's descriptors (ARIB STD-B10): the short event descriptor (0x4D) gives the
// first min(event_name_length, capacity) name bytes, the component descriptor (0x50) the
// videoType, the audio component descriptor (0xC4) the audioType, the content descriptor
// (0x54) the genre; a later descriptor of a tag overrides an earlier one. Values of absent
// descriptors are left as they were. Returns the name length, 0 without a short event
// descriptor. Nothing outside the event's descriptor loop is read.
int ReadEventSummary(const EventEntry& event, uint8_t* name, int capacity, uint8_t& videoType,
                     uint8_t& audioType, uint8_t& genre);

// The event's times (EventTimes) and summary, with a name of at most kEventNameBytes.
EventSnapshot SnapshotOf(const EventEntry& event);
