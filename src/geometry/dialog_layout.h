// Where the controls of the two resizable dialogs go for a client area of a given size.
#pragma once

#include "geometry/window_geometry.h"

// The details popup: "×" and "選局" in the top right corner, the name and times lines beside
// them sharing the header's height, the description below over the whole width. The buttons
// keep their sizes (only x and y of their boxes apply).
struct PopupLayout {
    WindowBox close;
    WindowBox tune;
    WindowBox name;
    WindowBox times;
    WindowBox text;
};
PopupLayout LayOutPopup(int width, int height, ControlSize close, ControlSize tune);

// The update-information dialog: the list over the whole width above the buttons, "クリア" in
// the bottom left corner and "閉じる" in the bottom right one. The buttons keep their sizes.
struct UpdateDialogLayout {
    WindowBox list;
    WindowBox clear;
    WindowBox close;
};
UpdateDialogLayout LayOutUpdateDialog(int width, int height, ControlSize button);
