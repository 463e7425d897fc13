// The bar under the programme on air during its last five minutes: it starts 16 pixels left
// of the cell's right edge and 6 pixels further left per whole minute left, and in the last 5
// seconds shrinks to the edge.
#pragma once

#include <cstdint>
#include <optional>

#include "broadcast/broadcast_time.h"

struct CellRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A line drawn with the countdown pen from (x1, y) to (x2, y), end point excluded as LineTo does.
struct BarSegment {
    int32_t x1 = 0;
    int32_t x2 = 0;
    int32_t y = 0;
};

// present: the times of ListRow::present; now: the system clock. The time left is taken from
// the low 32 bits of the end and now as a signed difference. None with more than 300 seconds
// left or none left, and none for a programme whose duration is undefined: its end is made up.
std::optional<BarSegment> CountdownBar(const EventTimeRange& present, int64_t now, const CellRect& cell);

struct ListRow;
// The bar in cell `column` of an item: only under the "now" column, for its row's present
// programme; none for an item without a row.
std::optional<BarSegment> CellBar(const ListRow* row, int column, int64_t now, const CellRect& cell);
