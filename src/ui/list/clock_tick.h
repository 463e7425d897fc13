// The decisions of the main window's one-second tick. The tick runs them in
// this order: BeginClockTick, then BuildRows when it says so (and, with the store's dirty
// flag set, the cache save and change detection), then CheckProgrammeBoundaries over the
// rows as they are after that rebuild.
#pragma once

#include <cstdint>

#include "ui/list/list_row.h"

struct StreamParser;

constexpr unsigned kClockTimerPeriodMs = 1000;
constexpr int kRebuildTicks = 10;  // the rows are rebuilt every 10 ticks
constexpr int kRealignSecond = 1;  // and at this second of each minute

// Without the host's tray window after this many ticks the close command leaves the system menu.
constexpr int kCloseRemovalTick = 4;

struct ClockTickStart {
    bool rebuildRows = false;
};

// Advances a received broadcast clock by one second and takes the rebuild countdown one step
// (0..9). localSecond: the second of the system clock's local time.
ClockTickStart BeginClockTick(StreamParser& parser, int& refreshCountdown, int localSecond);

// Counts a tick that BeginClockTick let run; true on the one tick at which the window looks
// for the tray window and, without it, drops the close command.
bool CloseRemovalDue(int& secondTicks);

struct BoundaryCheck {
    bool redrawAll = false;  // a programme on air has 0 to 5 seconds left: the bar moves
    // The current service's programme ends now or began within the last second: BuildRows,
    // then the popup is refreshed for the current service.
    bool rebuildRows = false;
};

// Times are compared by their low 32 bits as unsigned differences. now: the system clock.
BoundaryCheck CheckProgrammeBoundaries(const RowTable& rows, int currentServiceId, int64_t now);
