// Where a click opens the details popup: beside the pointer, below and to the right of it,
// or on the other side of it along an axis where the popup would not fit on the screen.
#pragma once

#include "ui/dialogs/popup_state.h"

struct PopupPlacement {
    bool move = false;  // false: the popup keeps its place (pinned, or a refresh)
    int x = 0;
    int y = 0;
};

constexpr int kPopupPointerGap = 5;

// width/height: the popup's window size, which is kept; screen: the desktop window's size.
PopupPlacement PlacePopup(const PopupState& state, bool userClick, int pointerX, int pointerY, int width, int height,
                          int screenWidth, int screenHeight);
