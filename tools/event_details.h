// What an event's descriptors say beyond its times (ARIB STD-B10): title and text (short
// event), the extended description's items, the genre (content) and the video format
// (component). Texts are Shift-JIS as the ARIB decoder gives them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "broadcast/byte_reader.h"

struct EventItem {
    std::string name;
    std::string text;
};

struct EventDetails {
    std::string title;
    std::string text;
    std::vector<EventItem> items;
    int genre = -1;          // content_nibble_level_1 of the first genre that is one; -1 none
    int videoComponent = -1;  // component_type of the first video component; -1 none
};

// Short event, content and component descriptors, and any extended event descriptors.
void ReadEventDetails(ByteReader descriptors, EventDetails& out);

// Only the extended event descriptors' items, appended to out.items.
void ReadExtendedItems(ByteReader descriptors, std::vector<EventItem>& out);

// Raw ARIB text as Shift-JIS through the decoder.
std::string DecodeToShiftJis(const uint8_t* raw, size_t length);
