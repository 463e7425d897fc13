// The programme store's records. EIT sections are kept whole, byte for byte from table_id
// through CRC_32, in slots found by direct indexing with table_id and section_number;
// events are read in place from them (event_entry.h).
#pragma once

#include <cstdint>

constexpr int kMaxServices = 50;
constexpr int kNoService = kMaxServices;  // FindOrAddService: no entry could be given
constexpr int kNameBytes = 50;
constexpr int kScheduleSlots = 512;       // eight days of 64 sections (ARIB STD-B10 segments)
constexpr int kSlotsPerDay = 64;
constexpr int kSlotsPerService = 3 * kScheduleSlots + 2;

struct SectionSlot {
    uint16_t versionChanges = 0;  // new versions since the change detection last compared
    // 1 when data came in through the intake with its CRC checked: a section arriving equal to
    // it is valid without a check of its own. Written by the EIT handler, cleared by StoreSection.
    uint8_t crcChecked = 0;
    uint8_t* data = nullptr;      // owned; null = empty slot
    uint16_t capacity = 0;        // bytes allocated at data
    uint16_t length = 0;          // section_length + 3; 0 = empty
};

struct ServiceEntry {
    uint16_t serviceId = 0;
    uint16_t channel = 0;  // physical channel from the host; 0 until reported
    uint8_t providerName[kNameBytes] = {};
    uint16_t providerNameLength = 0;
    uint8_t serviceName[kNameBytes] = {};
    uint16_t serviceNameLength = 0;
    uint8_t remoteKeyId = 0;
    uint8_t tsName[kNameBytes] = {};
    uint16_t tsNameLength = 0;
    SectionSlot schedule[kScheduleSlots];          // 0x50/0x60 at s, 0x51/0x61 at 256 + s
    SectionSlot scheduleExtended[kScheduleSlots];  // 0x58/0x68 at s, 0x59/0x69 at 256 + s
    SectionSlot presentFollowing[2];               // 0x4E sections 0 and 1
    SectionSlot scheduleOriginal[kScheduleSlots];  // reference copies for the change detection
};
