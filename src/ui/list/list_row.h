// The main list's rows: one ListRow per service of the programme store, rebuilt from scratch
// by BuildRows. The table holds owned pointers from index 0 without gaps; the first null
// entry ends it. A list item's lParam is the index of its row here, not the item's position.
#pragma once

#include <cstdint>
#include <vector>

#include "store/service_entry.h"

constexpr int kRowNameBytes = 50;    // names are cut to 49 bytes
constexpr int kRowTitleBytes = 100;  // titles are cut to 99 bytes
constexpr int kRowTextBytes = 200;   // short-event texts are cut to 199 bytes
constexpr int kNowColumn = 1;        // the list's "now" column: 0 is the channel, 2 "next"

struct ProgrammeSlot {
    int64_t start = 0;  // 0 = empty slot
    int64_t end = 0;
    uint8_t videoComponentType = 0;  // component descriptor (0x50); 0 without one
    uint8_t audioComponentType = 0;  // audio component descriptor (0xC4); 0 without one
    char title[kRowTitleBytes] = {};
    char text[kRowTextBytes] = {};
};

struct ListRow {
    uint16_t channel = 0;
    uint16_t serviceId = 0;
    uint8_t remoteKeyId = 0;
    uint8_t sortKey = 0;  // low byte of the "Sort%d" setting
    int32_t visible = 0;  // the "Check%d" setting; 0 = not listed
    uint8_t storeIndex = 0;
    char tsName[kRowNameBytes] = {};
    char serviceName[kRowNameBytes] = {};
    int32_t changed = 0;  // the change log holds a record of this service
    ProgrammeSlot present;
    ProgrammeSlot following;
};

// The main list window keeps its rows in this type.
using RowTable = ListRow* [kMaxServices];

// Number of rows before the first null entry.
int RowCount(const RowTable& rows);

// Row at a table index (an lParam), or null when the index is outside the table or empty.
const ListRow* RowAt(const RowTable& rows, int index);

// Index of the row of a service, or -1 when no row has it.
int FindRowIndex(const RowTable& rows, int serviceId);

// Marks the rows of services the change detection found changed; others are left as they are.
void MarkChangedRows(RowTable& rows, const std::vector<uint16_t>& serviceIds);

// Frees every row up to the first null entry and nulls its pointer.
void ClearRows(RowTable& rows);
