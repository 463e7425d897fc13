// Showing one cell's programme in the details popup, decided at once: the window gathers what
// it knows (pointer, sizes, whether tuning is busy), the core returns one plan (hide, or the
// texts, the tune button, the place, whether to show), and the window applies it.
#pragma once

#include <functional>
#include <vector>

#include "ui/dialogs/popup_placement.h"
#include "ui/dialogs/popup_state.h"
#include "ui/dialogs/popup_text.h"
#include "ui/list/list_items.h"

struct PopupShowRequest {
    bool hasWindow = false;
    int column = 1;          // 1 "now", 2 "next"
    int rowIndex = -1;
    int item = -1;           // the list item whose texts are read; -1: the row's own title and name
    bool userClick = false;  // false: a refresh, which never brings the popup up
    // Asked only when the popup is filled: the recording check looks for windows.
    std::function<bool()> tuningBusy;
    int pointerX = 0;
    int pointerY = 0;
    int width = 0;  // the popup's window size, kept
    int height = 0;
    int screenWidth = 0;  // the desktop window's size
    int screenHeight = 0;
};

struct PopupShowPlan {
    bool hide = false;  // hide the window, stop its timer, give the focus to the main window
    bool fill = false;  // apply what follows, then restart the popup timer
    PopupTexts texts;
    bool tuneButtonVisible = false;
    const char* tuneButtonText = "";
    PopupPlacement placement;
    bool showWindow = false;  // it was not on screen
};

// DescribeProgramme over the store, which the window reads under the plug-in lock.
using PopupDescriber =
    std::function<bool(const ListRow& row, int column, const char* cellText, const char* nameText, PopupTexts& out)>;

// items: the list's model, item i of the control. Updates the state as the plan is applied.
PopupShowPlan PlanPopupShow(PopupState& state, const PopupShowRequest& request, const RowTable& rows,
                            const std::vector<ListItemTexts>& items, const PopupDescriber& describe);
