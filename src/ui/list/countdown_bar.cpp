#include "ui/list/countdown_bar.h"

#include "ui/list/list_row.h"

namespace {

constexpr int32_t kShrinkSeconds = 5;
constexpr int32_t kBarSeconds = 300;

}  // namespace

std::optional<BarSegment> CountdownBar(const EventTimeRange& present, int64_t now, const CellRect& cell)
{
    if (DurationUndefined(present)) return std::nullopt;
    const int32_t left = static_cast<int32_t>(static_cast<uint32_t>(present.end) - static_cast<uint32_t>(now));
    if (left <= 0 || left > kBarSeconds) return std::nullopt;
    const int32_t x = left <= kShrinkSeconds ? cell.right - 3 * left + 2 : cell.right - (left / 60) * 6 - 16;
    return BarSegment{x, cell.right - 1, cell.bottom - 2};
}

std::optional<BarSegment> CellBar(const ListRow* row, int column, int64_t now, const CellRect& cell)
{
    if (!row || column != kNowColumn) return std::nullopt;
    return CountdownBar({row->present.start, row->present.end}, now, cell);
}
