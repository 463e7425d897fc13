#include "ui/list/clock_tick.h"

#include "ts/stream_parser.h"

namespace {

constexpr uint32_t kRedrawSeconds = 5;
constexpr uint32_t kStartedSeconds = 1;

uint32_t Low32(int64_t value)
{
    return static_cast<uint32_t>(value);
}

}  // namespace

ClockTickStart BeginClockTick(StreamParser& parser, int& refreshCountdown, int localSecond)
{
    if (parser.totYear > 0) ++parser.totTime;
    if (localSecond == kRealignSecond) refreshCountdown = 0;
    ClockTickStart start;
    start.rebuildRows = refreshCountdown == 0;
    if (++refreshCountdown >= kRebuildTicks) refreshCountdown = 0;
    return start;
}

bool CloseRemovalDue(int& secondTicks)
{
    return ++secondTicks == kCloseRemovalTick;
}

BoundaryCheck CheckProgrammeBoundaries(const RowTable& rows, int currentServiceId, int64_t now)
{
    BoundaryCheck check;
    for (int k = 0; k < kMaxServices && rows[k]; ++k) {
        const ProgrammeSlot& present = rows[k]->present;
        if (Low32(present.end) - Low32(now) <= kRedrawSeconds) check.redrawAll = true;
        if (rows[k]->serviceId != currentServiceId) continue;
        if (Low32(present.end) == Low32(now) || Low32(now) - Low32(present.start) <= kStartedSeconds)
            check.rebuildRows = true;
    }
    return check;
}
