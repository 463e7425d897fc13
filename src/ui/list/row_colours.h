// The colours of one list item: the row of the service being received in solid crimson, the
// others in pastel pairs alternating with the item's position in the list, empty programme
// cells grey, and the name of a service with a recorded schedule change in red.
#pragma once

#include <cstdint>

// Windows colour values: 0x00BBGGRR.
using ColourRef = uint32_t;

constexpr ColourRef Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<ColourRef>(red) | static_cast<ColourRef>(green) << 8 | static_cast<ColourRef>(blue) << 16;
}

constexpr ColourRef kCurrentRowFill = Rgb(220, 20, 60);
constexpr ColourRef kEmptyCellFill = Rgb(105, 105, 105);
constexpr ColourRef kCountdownPen = Rgb(60, 20, 220);
constexpr int kCountdownPenWidth = 3;

struct RowColours {
    ColourRef nameFill = 0;       // column 0
    ColourRef presentFill = 0;    // odd columns
    ColourRef followingFill = 0;  // even columns from 2
    ColourRef emptyFill = kEmptyCellFill;
    ColourRef nameText = 0;
    ColourRef programmeText = 0;  // columns from 1
    ColourRef pen = kCountdownPen;
    bool setBackground = false;  // the current row also sets the DC's background colour
    ColourRef background = 0;
};

// current: the row's service is the one being received. listPosition: the drawn item's index in
// the control (not the row index). changed: ListRow::changed.
RowColours RowColoursFor(bool current, int listPosition, bool changed);

struct ListRow;
// The colours of the item of `row` (null: an item without a row) while currentServiceId is
// received.
RowColours ItemColours(const ListRow* row, int currentServiceId, int listPosition);

// Fill of cell `column` whose text is empty or not.
ColourRef CellFill(const RowColours& colours, int column, bool textEmpty);
