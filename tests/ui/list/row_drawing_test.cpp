#include "ui/list/countdown_bar.h"
#include "ui/list/list_row.h"
#include "ui/list/row_colours.h"

#include <gtest/gtest.h>

#include "support/section_builder.h"

namespace {

TEST(RowColours, CurrentServiceIsCrimsonExceptEmptyCells)
{
    const RowColours current = RowColoursFor(true, 1, false);
    for (int column = 0; column < 3; ++column) EXPECT_EQ(CellFill(current, column, false), 0x3C14DCu);
    EXPECT_EQ(CellFill(current, 1, true), 0x696969u);
    EXPECT_EQ(CellFill(current, 2, true), 0x696969u);
    EXPECT_EQ(current.nameText, 0xFFFFFFu);
    EXPECT_EQ(current.programmeText, 0xFFFFFFu);
    EXPECT_TRUE(current.setBackground);
    EXPECT_EQ(current.background, 0x3C14DCu);
    EXPECT_EQ(current.pen, 0xDC143Cu);
    EXPECT_EQ(RowColoursFor(true, 0, true).nameText, 0xA0A0F0u);
}

TEST(RowColours, OtherRowsAlternateWithTheirListPosition)
{
    const RowColours even = RowColoursFor(false, 2, false);
    EXPECT_EQ(CellFill(even, 0, false), 0xFAE6E6u);
    EXPECT_EQ(CellFill(even, 1, false), 0xCBC0FFu);
    EXPECT_EQ(CellFill(even, 2, false), 0xB7FFB7u);
    const RowColours odd = RowColoursFor(false, 3, false);
    EXPECT_EQ(CellFill(odd, 0, false), 0xFFF8F0u);
    EXPECT_EQ(CellFill(odd, 1, false), 0xE1E4FFu);
    EXPECT_EQ(CellFill(odd, 2, false), 0xE0FFE0u);
    EXPECT_EQ(CellFill(odd, 2, true), 0x696969u);
    // The name cell keeps its fill even when empty.
    EXPECT_EQ(CellFill(odd, 0, true), 0xFFF8F0u);
    EXPECT_EQ(odd.nameText, 0x000000u);
    EXPECT_FALSE(odd.setBackground);
    // A recorded schedule change reddens the name only.
    const RowColours changed = RowColoursFor(false, 0, true);
    EXPECT_EQ(changed.nameText, 0x0000FFu);
    EXPECT_EQ(changed.programmeText, 0x000000u);
}

TEST(CountdownBar, ShrinksOverTheLastFiveMinutes)
{
    const CellRect cell{100, 20, 500, 40};
    const int64_t end = 1'800'000'000;
    const EventTimeRange onAir{end - 1800, end};
    auto bar = CountdownBar(onAir, end - 270, cell);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->x1, 500 - 40);
    EXPECT_EQ(bar->x2, 499);
    EXPECT_EQ(bar->y, 38);
    EXPECT_EQ(CountdownBar(onAir, end - 300, cell)->x1, 500 - 46);
    EXPECT_EQ(CountdownBar(onAir, end - 59, cell)->x1, 500 - 16);
    EXPECT_EQ(CountdownBar(onAir, end - 6, cell)->x1, 500 - 16);
    EXPECT_EQ(CountdownBar(onAir, end - 5, cell)->x1, 500 - 13);
    EXPECT_EQ(CountdownBar(onAir, end - 3, cell)->x1, 500 - 7);
    bar = CountdownBar(onAir, end - 1, cell);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->x1, bar->x2);  // no length
    EXPECT_FALSE(CountdownBar(onAir, end, cell));
    EXPECT_FALSE(CountdownBar(onAir, end + 1, cell));
    EXPECT_FALSE(CountdownBar(onAir, end - 301, cell));
    EXPECT_FALSE(CountdownBar({0, 0}, end, cell));  // nothing on air

    // On air from 20:00 with its duration broadcast as undefined: the end is made up.
    const EventTimeRange open = EventTimes(EncodeEventTimes({2026, 12, 7, 20, 0, 0}, kUndefinedDuration).data());
    EXPECT_FALSE(CountdownBar(open, open.end - 270, cell));
}

TEST(CountdownBar, UsesTheLowThirtyTwoBitsOfBothTimes)
{
    // Across a wrap of the low 32 bits the difference is still 4 minutes 30 seconds.
    const int64_t end = (int64_t{1} << 32) + 100;
    EXPECT_EQ(CountdownBar({end - 1800, end}, end - 270, {0, 0, 300, 20})->x1, 300 - 40);
}

// An item is drawn as current by its row's service; the bar goes under "now" only.
TEST(RowColours, ItemOfTheReceivedServiceIsCurrentAndItsBarIsUnderNow)
{
    ListRow row;
    row.serviceId = 1024;
    row.changed = 1;
    row.present = {.start = 10000, .end = 11800};
    EXPECT_TRUE(ItemColours(&row, 1024, 0).setBackground);
    EXPECT_FALSE(ItemColours(&row, 1032, 0).setBackground);
    EXPECT_EQ(ItemColours(&row, 1000, 0).nameText, RowColoursFor(false, 0, true).nameText) << "changed";
    EXPECT_FALSE(ItemColours(nullptr, 0, 0).setBackground) << "no row";
    const CellRect cell{0, 0, 500, 20};
    EXPECT_TRUE(CellBar(&row, kNowColumn, 11800 - 270, cell));
    EXPECT_FALSE(CellBar(&row, 2, 11800 - 270, cell));
    EXPECT_FALSE(CellBar(nullptr, kNowColumn, 11800 - 270, cell));
}

}  // namespace
