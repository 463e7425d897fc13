#include "ui/list/clock_tick.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "list_fixture.h"
#include "ui/list/local_clock.h"

namespace {

using ClockTick = ListFixture;

TEST_F(ClockTick, ReceivedBroadcastClockAdvancesEverySecond)
{
    int countdown = 5;
    parser->totTime = 1000;
    BeginClockTick(*parser, countdown, 30);
    EXPECT_EQ(parser->totTime, 1000);  // no TOT yet
    parser->totYear = 2026;
    BeginClockTick(*parser, countdown, 30);
    BeginClockTick(*parser, countdown, 30);
    EXPECT_EQ(parser->totTime, 1002);
}

TEST_F(ClockTick, RowsAreRebuiltEveryTenTicksAndAtSecondOne)
{
    int countdown = 0;
    std::vector<int> rebuilds;
    for (int tick = 0; tick < 25; ++tick)
        if (BeginClockTick(*parser, countdown, 30).rebuildRows) rebuilds.push_back(tick);
    EXPECT_EQ(rebuilds, (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(countdown, 5);
    // Second 1 of a minute re-aligns the countdown.
    EXPECT_TRUE(BeginClockTick(*parser, countdown, 1).rebuildRows);
    EXPECT_EQ(countdown, 1);
    EXPECT_FALSE(BeginClockTick(*parser, countdown, 2).rebuildRows);
}

// The tick reads the second of the system clock; a stamp the runtime cannot convert reads 00:00:00.
TEST(LocalClock, StampTheRuntimeCannotConvertReadsMidnight)
{
    const LocalClockTime clock = LocalClockOf(INT64_MAX);
    EXPECT_EQ(clock.hour * 3600 + clock.minute * 60 + clock.second, 0);
}

TEST(CloseRemoval, OnlyTheFourthTickLooksForTheTray)
{
    int ticks = 0;
    for (int tick = 1; tick <= 6; ++tick) EXPECT_EQ(CloseRemovalDue(ticks), tick == 4) << tick;
}

class Boundaries : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        for (uint16_t id : {0x0400, 0x0410}) {
            AddService(id);
            PutSchedule(id, 0, {Programme(1, At(20, 0), 60, u8"番組"), Programme(2, At(21, 0), 60, u8"次")});
        }
        Build(Stamp(20, 30));
    }
};

TEST_F(Boundaries, LastFiveSecondsOfAnyProgrammeRedrawTheList)
{
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, 0x0410, Stamp(20, 59, 55)).redrawAll);
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, 0x0410, Stamp(21, 0, 0)).redrawAll);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, 0x0410, Stamp(20, 59, 54)).redrawAll);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, 0x0410, Stamp(21, 0, 1)).redrawAll);
    // A hidden row still counts.
    rows[0]->visible = 0;
    rows[1]->present.end = 0;
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, -1, Stamp(20, 59, 57)).redrawAll);
}

TEST_F(Boundaries, CurrentServicesProgrammeBoundaryRebuilds)
{
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(21, 0, 0)).rebuildRows);
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(20, 0, 0)).rebuildRows);
    EXPECT_TRUE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(20, 0, 1)).rebuildRows);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(20, 0, 2)).rebuildRows);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(20, 59, 59)).rebuildRows);
    // Another service's boundary, or no current service, rebuilds nothing.
    rows[1]->present.end = Stamp(20, 40);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, 0x0400, Stamp(20, 40)).rebuildRows);
    EXPECT_FALSE(CheckProgrammeBoundaries(rows, -1, Stamp(21, 0)).rebuildRows);
}

}  // namespace
