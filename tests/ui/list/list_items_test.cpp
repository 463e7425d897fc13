#include "ui/list/list_items.h"

#include <gtest/gtest.h>

#include "list_fixture.h"

namespace {

using ListItems = ListFixture;

const int64_t kNow = Stamp(20, 10);

TEST_F(ListItems, SubChannelAiringTheHeadsProgrammesDisappears)
{
    AddService(0x0400, u8"総合");
    AddService(0x0401, u8"総合２");
    AddService(0x0402, u8"総合３");
    AddService(0x0403, u8"総合４");
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, At(21, 0), 60, u8"ドラマ")});
    PutSchedule(0x0401, 0, {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, At(21, 0), 60, u8"ドラマ")});
    // Own programme on air; the next one starts when the head's next has ended.
    PutSchedule(0x0402, 0, {Programme(1, At(20, 0), 30, u8"天気"), Programme(2, At(22, 0), 60, u8"スポーツ")});
    // Compared with the run's head, not with the row before it.
    PutSchedule(0x0403, 0, {Programme(1, At(20, 0), 30, u8"ニュース"), Programme(2, At(20, 30), 30, u8"経済")});
    // A run of its own further down has a head of its own.
    AddService(0x0410, u8"教育");
    AddService(0x0411, u8"教育２");
    PutSchedule(0x0410, 0, {Programme(1, At(20, 0), 60, u8"語学")});
    PutSchedule(0x0411, 0, {Programme(1, At(20, 0), 60, u8"語学")});
    Build(kNow);
    EXPECT_EQ(RowOf(0x0411)->present.start, 0);
    EXPECT_EQ(RowOf(0x0401)->present.start, 0);
    EXPECT_EQ(RowOf(0x0403)->present.start, 0);
    EXPECT_EQ(RowOf(0x0401)->following.start, 0);
    EXPECT_EQ(RowOf(0x0402)->following.start, 0);

    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 4u);
    EXPECT_EQ(update.items[0].rowIndex, 0);
    EXPECT_EQ(update.items[1].rowIndex, 2);
    EXPECT_EQ(update.items[1].column[1], "20:00 " + Sjis(u8"天気"));
    EXPECT_EQ(update.items[1].column[2], "");  // ends before the head's next programme
    EXPECT_EQ(update.items[2].rowIndex, 3);
    EXPECT_EQ(update.items[2].column[2], "20:30 " + Sjis(u8"経済"));
}

// The table's first row heads the run before any programme of its own is known, so its
// sub-channel's next programme is measured against an unknown end.
TEST_F(ListItems, FirstRowHeadsItsRunWithoutProgrammeData)
{
    AddService(0x0400, u8"総合");
    AddService(0x0401, u8"総合２");
    PutSchedule(0x0401, 0, {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, At(21, 0), 60, u8"ドラマ")});
    Build(kNow);
    EXPECT_EQ(RowOf(0x0401)->following.start, 0);
    EXPECT_EQ(DecideListItems(rows, 0).items[0].column[2], kContinuationMark);
}

TEST_F(ListItems, ContinuationMarkForProgrammesRunningThroughTheRunsNext)
{
    AddService(0x0400, u8"総合");
    AddService(0x0401, u8"総合２");
    AddService(0x0410, u8"教育");
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, At(21, 0), 60, u8"ドラマ")});
    PutSchedule(0x0401, 0, {Programme(1, At(20, 0), 120, u8"映画"), Programme(2, At(22, 0), 60, u8"ドラマ２")});
    // The first row of its own run, with nothing known after its programme.
    PutSchedule(0x0410, 0, {Programme(1, At(20, 0), 60, u8"語学")});
    Build(kNow);
    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 3u);
    EXPECT_EQ(update.items[1].column[2], kContinuationMark);
    EXPECT_EQ(update.items[1].column[2], "\x81\x60");
    EXPECT_EQ(update.items[2].column[2], kContinuationMark);  // a run head, and not the first row
}

TEST_F(ListItems, UndefinedStartShowsTheTitleWithoutATime)
{
    AddService(0x0400, u8"総合");
    PutSchedule(0x0400, 0,
                {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, kUndefinedStart, 60, u8"未定")});
    Build(kNow);
    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 1u);
    EXPECT_EQ(update.items[0].column[2], Sjis(u8"未定"));
}

TEST_F(ListItems, ItemsAreReusedAndOnlyTheSurplusDeleted)
{
    for (uint16_t id : {0x0400, 0x0402, 0x0404}) {
        AddService(id, u8"局");
        PutSchedule(id, 0, {Programme(1, At(20, 0), 60, u8"番組")});
    }
    Build(kNow);
    ListUpdate update = DecideListItems(rows, 1);
    ASSERT_EQ(update.items.size(), 3u);
    EXPECT_FALSE(update.items[0].insert);
    EXPECT_TRUE(update.items[1].insert);
    EXPECT_TRUE(update.items[2].insert);
    EXPECT_TRUE(update.refreshPopup);
    EXPECT_EQ(update.surplusItems, 0);

    update = DecideListItems(rows, 3);
    EXPECT_FALSE(update.items[2].insert);
    EXPECT_FALSE(update.refreshPopup);

    update = DecideListItems(rows, 5);
    EXPECT_TRUE(update.refreshPopup);
    EXPECT_EQ(update.surplusItems, 2);
}

TEST(ListModel, SurplusItemsStayUntilTheControlDeletesThem)
{
    const auto model = ItemsBeforeDelete({{1, false, {}}, {2, false, {}}}, ListUpdate{{{7, false, {}}}, false, 1});
    ASSERT_EQ(model.size(), 2u);
    EXPECT_EQ(std::make_pair(model[0].rowIndex, model[1].rowIndex), std::make_pair(7, 2)) << "the surplus is kept";
}

TEST(ListModel, CellTextIsCutAndNothingOutsideTheItems)
{
    const std::vector<ListItemTexts> items = {{0, false, {"a", "b", "next"}}, {1, false, {"second"}}};
    EXPECT_EQ("ne", ItemColumnText(items, 0, 2, 2));
    EXPECT_EQ("", ItemColumnText(items, 0, kListColumns, 99));
    EXPECT_EQ("", ItemColumnText(items, 2, 0, 99));
}

TEST_F(ListItems, HighDefinitionProgrammeShowsTheNetworkName)
{
    ServiceEntry& hd = AddService(0x0400, u8"総合");
    const Bytes ts = EncodeArib(u8"総合・東京");
    hd.tsNameLength = static_cast<uint16_t>(ts.size());
    std::memcpy(hd.tsName, ts.data(), ts.size());
    AddService(0x0410, u8"教育");
    ServiceEntry& sd = Service(0x0410);
    sd.tsNameLength = hd.tsNameLength;
    std::memcpy(sd.tsName, ts.data(), ts.size());
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ニュース", 0xB3)});
    PutSchedule(0x0410, 0, {Programme(1, At(20, 0), 60, u8"語学", 0x01)});
    Build(kNow);
    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 2u);
    EXPECT_EQ(update.items[0].column[0], Sjis(u8"総合・東京"));
    EXPECT_EQ(update.items[1].column[0], Sjis(u8"教育"));
}

}  // namespace
