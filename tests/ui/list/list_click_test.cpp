#include "ui/list/list_click.h"

#include <gtest/gtest.h>

#include "ui/list/companion_windows.h"

namespace {

TEST(ListClick, EachClickOnAnItemHasItsAction)
{
    EXPECT_EQ(DecideListClick(ListClickKind::RightClick, 3, 1, -1), ListClickAction::ProgrammeMenu);
    EXPECT_EQ(DecideListClick(ListClickKind::DoubleClick, 0, 0, 0), ListClickAction::Tune);  // the first item and row
    EXPECT_EQ(DecideListClick(ListClickKind::Click, 3, 0, 7), ListClickAction::HidePopup);
    EXPECT_EQ(DecideListClick(ListClickKind::Click, 3, 2, 7), ListClickAction::ShowDetails);
    // Below the last item, or an item without a row: nothing.
    EXPECT_EQ(DecideListClick(ListClickKind::RightClick, -1, 0, -1), ListClickAction::None);
    EXPECT_EQ(DecideListClick(ListClickKind::Click, -1, 1, 7), ListClickAction::None);
    EXPECT_EQ(DecideListClick(ListClickKind::DoubleClick, 3, 0, -1), ListClickAction::None);
}

TEST(ListClick, CommandsTuneARowOrShowTheUpdates)
{
    EXPECT_EQ(DecideMainCommand(2100).kind, MainCommandKind::TuneRow);
    EXPECT_EQ(DecideMainCommand(2149).row, 49);
    EXPECT_EQ(DecideMainCommand(2150).kind, MainCommandKind::None);
    EXPECT_EQ(DecideMainCommand(2099).kind, MainCommandKind::None);
    EXPECT_EQ(DecideMainCommand(1012).kind, MainCommandKind::ShowUpdates);
}

TEST(CompanionWindows, HiddenWithTheMainWindowShownAgainWhenKept)
{
    EXPECT_EQ(CompanionChange(false, {true, true, true}), WindowChange::Hide);
    EXPECT_EQ(CompanionChange(false, {true, false, true}), WindowChange::None);
    EXPECT_EQ(CompanionChange(true, {true, false, true}), WindowChange::Show);
    EXPECT_EQ(CompanionChange(true, {true, false, false}), WindowChange::None) << "closed by the user";
    EXPECT_EQ(CompanionChange(true, {true, true, false}), WindowChange::None) << "shown by a click, not pinned";
    EXPECT_EQ(CompanionChange(true, {false, false, true}), WindowChange::None);
}

}  // namespace
