#include "ui/dialogs/popup_show.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// One row, listed as item 0; the describer records the texts it is given.
struct PopupShowTest : ::testing::Test {
    PopupShowTest()
    {
        row.serviceId = 1024;
        std::snprintf(row.serviceName, sizeof row.serviceName, "own name");
        std::snprintf(row.present.title, sizeof row.present.title, "own title");
        items[0].column[0] = "item name";
        items[0].column[1] = std::string(120, 'c');
    }
    PopupShowPlan Plan(int item, bool userClick)
    {
        const PopupShowRequest request{true, 1, 0, item, userClick, [this] { return ++busyAsked, busy; },
                                       200, 300, 320, 200, 1920, 1080};
        return PlanPopupShow(state, request, rows, items,
                             [this](const ListRow&, int, const char* c, const char* n, PopupTexts&) {
                                 cell = c;
                                 name = n;
                                 return !cell.empty();
                             });
    }
    ListRow row;
    RowTable rows = {&row};
    std::vector<ListItemTexts> items = std::vector<ListItemTexts>(1);
    PopupState state;
    bool busy = true;
    int busyAsked = 0;
    std::string cell, name;
};

TEST_F(PopupShowTest, OnePlanFromClickToTimer)
{
    EXPECT_FALSE(Plan(0, false).fill) << "a refresh does not bring it up";
    EXPECT_EQ(0, busyAsked) << "nor looks for a recording";

    const PopupShowPlan shown = Plan(0, true);
    ASSERT_TRUE(shown.fill);
    EXPECT_EQ(std::string(99, 'c'), cell) << "the cell as the control gives it";
    EXPECT_EQ("item name", name);
    EXPECT_FALSE(shown.tuneButtonVisible) << "tuning busy";
    EXPECT_TRUE(shown.placement.move);
    EXPECT_TRUE(shown.showWindow);

    busy = false;
    const PopupShowPlan refreshed = Plan(-1, false);
    EXPECT_EQ("own title", cell) << "a row without an item shows its own texts";
    EXPECT_EQ("own name", name);
    EXPECT_TRUE(refreshed.tuneButtonVisible);
    EXPECT_EQ(1, state.m_tuneButtonShown) << "the state holds what the button shows";
    EXPECT_FALSE(refreshed.placement.move || refreshed.showWindow) << "refilled in place";

    EXPECT_TRUE(Plan(0, true).hide) << "a second click on the same cell";
    EXPECT_EQ(0, state.m_popupShown);
    EXPECT_FALSE(Plan(1, true).fill) << "an item past the list is no cell";
    items[0].column[1].clear();
    EXPECT_FALSE(Plan(0, true).fill) << "an empty cell shows nothing";
    rows[0] = nullptr;
    EXPECT_FALSE(Plan(0, true).fill) << "a row gone since the click";
}

}  // namespace
