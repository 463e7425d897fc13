// The details popup's texts for one cell of the main list: the two header lines (service
// name and date; times, video format and aspect) and the body of the read-only edit control
// (title, short text, then the items of the extended description).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/event_entry.h"
#include "ui/list/list_row.h"

struct ProgrammeStore;

// How much of a cell's text and of its row's column 0 the popup reads from the list.
constexpr int kPopupCellTextBytes = 100;
constexpr int kPopupNameTextBytes = 80;

// From an ARIB STD-B10 component_type: "480i", "480p", "1080i" or "--" by the high four bits;
// "(4:3)", "(16:9)", "(4:3pan)" or "(--)" by the low four bits.
const char* VideoFormatText(uint8_t componentType);
const char* AspectText(uint8_t componentType);

// Appends decoded text, whose line breaks are single 0x0D bytes, as edit-control lines: a
// final break is dropped and every other becomes "\r\n". An empty text appends nothing.
void AppendLines(std::string& out, std::string_view text);

// 0 = the row's present programme, 1 = its following one. The continuation mark "～" in a
// cell stands for the programme before it.
int PopupSlotIndex(int column, const char* cellText);

// Control 1014: "[name] - yyyy/mm/dd(weekday)" of the start; "[name]" when the start is undefined.
std::string PopupNameLine(const char* name, int64_t start);
// Control 1015: " hh:mm～hh:mm " with the video format and aspect; the times as TimeSpanText
// shows them, the space after them dropped with them.
std::string PopupTimesLine(const ProgrammeSlot& slot);

// Appends the items of an event's extended event descriptors: a descriptor whose first field
// is not empty starts an item under that heading; the rest of its fields, and descriptors
// with an empty first field, add to the item's text, which is decoded as one string.
void AppendExtendedItems(std::string& out, const EventEntry& event);

// Control 1016: the title in 【】, the short text, the extended items of `extended` (may be null).
std::string PopupBody(const ProgrammeSlot& slot, const EventEntry* extended);

struct PopupTexts {
    std::string nameLine;   // control 1014
    std::string timesLine;  // control 1015
    std::string body;       // control 1016
};

// The texts for a click on (or a refresh of) a "now" or "next" cell. cellText: the cell's
// text or the caller's title text; nameText: column 0's text or the caller's name text.
// False, with `out` untouched, when the cell text is empty: nothing new is shown.
bool DescribeProgramme(const ListRow& row, int column, const char* cellText, const char* nameText,
                       const ProgrammeStore& store, PopupTexts& out);
