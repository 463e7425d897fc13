#include "ui/list/countdown_bar.h"

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
