#include "ui/dialogs/popup_state.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ui/dialogs/popup_placement.h"

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
constexpr ScreenRect kWindow{100, 100, 420, 300};

PopupState Shown(uint16_t serviceId, int column, int pinned = 0)
{
    PopupState state;
    state.m_popupShown = 1;
    state.m_popupPinned = pinned;
    state.m_popupServiceId = serviceId;
    state.m_lastColumn = column;
    return state;
}

TEST(PopupPlacementTest, OpensBesideThePointerAndFlipsAtTheScreenEdges)
{
    const PopupState free;
    const PopupPlacement normal = PlacePopup(free, true, 200, 300, 320, 200, kScreenW, kScreenH);
    EXPECT_TRUE(normal.move);
    EXPECT_EQ(205, normal.x);
    EXPECT_EQ(305, normal.y);
    const PopupPlacement corner = PlacePopup(free, true, kScreenW - 1, kScreenH - 1, 320, 200, kScreenW, kScreenH);
    EXPECT_EQ(kScreenW - 1 - 320 - 5, corner.x) << "above and to the left";
    EXPECT_EQ(kScreenH - 1 - 200 - 5, corner.y);
    const PopupPlacement fits = PlacePopup(free, true, kScreenW - 325, kScreenH - 205, 320, 200, kScreenW, kScreenH);
    EXPECT_EQ(kScreenW - 320, fits.x) << "touching the edge still fits";
    EXPECT_EQ(kScreenH - 200, fits.y);
    EXPECT_FALSE(PlacePopup(Shown(1, 1, 1), true, 10, 10, 320, 200, kScreenW, kScreenH).move) << "pinned";
    EXPECT_FALSE(PlacePopup(free, false, 10, 10, 320, 200, kScreenW, kScreenH).move) << "a refresh";
}

// The saved "PopDialog" "Fixed" is written back from m_popupPinned: a value other than 0 or 1
// survives a run of the viewer in which nobody pins or closes the popup.
TEST(PopupStartTest, SavedFixedPinsAndShowsAsItStands)
{
    const PopupState hidden = InitialPopupState(0);
    EXPECT_EQ(0, hidden.m_popupPinned);
    EXPECT_EQ(0, hidden.m_popupShown);
    EXPECT_EQ(-1, hidden.m_lastColumn);
    const PopupState pinned = InitialPopupState(2);
    EXPECT_EQ(2, pinned.m_popupPinned);
    EXPECT_EQ(2, pinned.m_popupShown);
}

TEST(PopupClickTest, SecondClickOnTheSameCellHidesAFreePopup)
{
    PopupState state = Shown(1024, 1);
    EXPECT_EQ(PopupClick::Hide, DecidePopupClick(state, true, 1, 1024, true));
    EXPECT_TRUE(HidePopupState(state, true));
    EXPECT_EQ(0, state.m_popupShown);
    EXPECT_FALSE(HidePopupState(state, true)) << "already hidden";

    state = Shown(1024, 1);
    EXPECT_EQ(PopupClick::Fill, DecidePopupClick(state, true, 2, 1024, true)) << "another column refills";
    EXPECT_EQ(2, state.m_lastColumn);
    EXPECT_EQ(PopupClick::Fill, DecidePopupClick(state, true, 2, 1025, true)) << "another service refills";
    PopupFilled(state, 1025);
    EXPECT_EQ(PopupClick::Fill, DecidePopupClick(state, true, 2, 1025, false)) << "a refresh refills";

    PopupState pinned = Shown(1024, 1, 1);
    EXPECT_EQ(PopupClick::Fill, DecidePopupClick(pinned, true, 1, 1024, true)) << "a pinned popup is refilled";
    EXPECT_FALSE(HidePopupState(pinned, true));
}

TEST(PopupClickTest, RefreshNeverBringsThePopupUp)
{
    PopupState hidden;
    EXPECT_EQ(PopupClick::Ignore, DecidePopupClick(hidden, true, 1, 1024, false));
    EXPECT_EQ(PopupClick::Ignore, DecidePopupClick(hidden, false, 1, 1024, true)) << "no window";
    EXPECT_EQ(PopupClick::Fill, DecidePopupClick(hidden, true, 1, 1024, true));
    EXPECT_TRUE(PresentPopupState(hidden));
    hidden.m_popupTicks = kPopupIdleTicks - 1;
    EXPECT_FALSE(PresentPopupState(hidden)) << "already shown";
    EXPECT_EQ(1, hidden.m_popupShown);
    EXPECT_EQ(0, hidden.m_popupTicks) << "a new fill has its five seconds again";
}

TEST(PopupTimerTest, FiveSecondsAwayOrFarFromThePopupHideIt)
{
    PopupState state = Shown(1, 1);
    for (int tick = 1; tick < kPopupIdleTicks; ++tick) ASSERT_FALSE(PopupTimerTick(state, 50, 50, kWindow)) << tick;
    EXPECT_TRUE(PopupTimerTick(state, 50, 50, kWindow)) << "the 50th tick";

    state = Shown(1, 1);
    for (int tick = 0; tick < 200; ++tick) PopupTimerTick(state, 420, 300, kWindow);  // on the edge: inside
    EXPECT_EQ(0, state.m_popupTicks);

    state = Shown(1, 1);
    EXPECT_FALSE(PopupTimerTick(state, kWindow.left - 150, 200, kWindow));
    EXPECT_TRUE(PopupTimerTick(state, kWindow.left - 151, 200, kWindow));
    EXPECT_TRUE(PopupTimerTick(state, kWindow.right + 151, 200, kWindow));
    EXPECT_FALSE(PopupTimerTick(state, 200, kWindow.bottom + 150, kWindow));
    EXPECT_TRUE(PopupTimerTick(state, 200, kWindow.top - 151, kWindow));

    PopupState pinned = Shown(1, 1, 1);
    ASSERT_TRUE(PopupTimerTick(pinned, 2000, 2000, kWindow));
    EXPECT_FALSE(HidePopupState(pinned, true)) << "the rules do not hide a pinned popup";
    EXPECT_TRUE(ClosePopupState(pinned, true)) << "its close button does";
    EXPECT_EQ(0, pinned.m_popupPinned);
}

TEST(PopupDragTest, MovingPinsAndAClickAloneDoesNot)
{
    PopupState state = Shown(1, 1);
    const DragStart start{100, 200, 150, 210};
    const ScreenPoint released = PopupDragTarget(start, 150, 210);
    EXPECT_EQ(100, released.x);
    EXPECT_EQ(0, state.m_popupPinned);
    const ScreenPoint moved = PopupDragMove(state, start, 170, 190);
    EXPECT_EQ(120, moved.x);
    EXPECT_EQ(180, moved.y);
    EXPECT_EQ(1, state.m_popupPinned);
}

TEST(PopupTuneTest, TheButtonIsOnScreenOnlyWithThePopupAndALayoutKeepsItOnlyThen)
{
    using C = TuneButtonChange;
    // busy, the popup on screen, the button's flag; the change and the flag after it.
    const std::tuple<bool, bool, int, C, int> ticks[] = {{false, true, 0, C::Show, 1}, {true, true, 1, C::Hide, 0},
        {false, true, 1, C::None, 1}, {true, false, 1, C::None, 1}, {false, false, 1, C::Show, 1}};
    for (const auto& [busy, popupVisible, before, change, after] : ticks) {
        PopupState state{0, 0, 0, 0, -1, before};
        EXPECT_EQ(TuneButtonTick(state, busy, popupVisible), change);
        EXPECT_EQ(state.m_tuneButtonShown, after);
    }
    PopupState laidOut{0, 0, 0, 0, -1, 1};
    EXPECT_TRUE(TuneButtonAfterLayout(laidOut, true));
    EXPECT_FALSE(TuneButtonAfterLayout(laidOut, false) || TuneButtonAfterLayout(laidOut, true)) << "laid out off screen";
}

TEST(PopupTuneTest, TuneCommandUsesTheFirstListItemShowingTheService)
{
    ListRow a, b;
    a.serviceId = 1024;
    b.serviceId = 1032;
    RowTable rows = {&a, &b};
    const int items[] = {1, 0};
    EXPECT_EQ(2100, PopupTuneCommand(rows, items, 2, 1024));
    EXPECT_EQ(2101, PopupTuneCommand(rows, items, 2, 1032));
    EXPECT_EQ(0, PopupTuneCommand(rows, items, 2, 1040));
    const int stale[] = {5};
    EXPECT_EQ(0, PopupTuneCommand(rows, stale, 1, 1024));

    // After a rebuild the popup follows the first item showing its service, else its row alone.
    const PopupFollow listed = PopupFollowRow(rows, items, 2, 1024);
    EXPECT_EQ(0, listed.row);
    EXPECT_EQ(1, listed.item);
    EXPECT_EQ(0, PopupFollowRow(rows, items, 2, 1032).item);
    const PopupFollow unlisted = PopupFollowRow(rows, stale, 1, 1032);
    EXPECT_EQ(1, unlisted.row);
    EXPECT_EQ(-1, unlisted.item);
    EXPECT_EQ(-1, PopupFollowRow(rows, items, 2, 1040).row);
}

}  // namespace
