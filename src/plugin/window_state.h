// The state each of CEventView's windows keeps between its messages, one structure per
// window. A structure is reached only from its own window's files; a window that needs
// another's data asks through a function of that window (details_popup.h, update_dialog.h)
// or a method of the list (event_view.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "geometry/window_geometry.h"
#include "changelog/update_view.h"
#include "ui/dialogs/popup_state.h"
#include "ui/dialogs/popup_text.h"
#include "ui/list/list_items.h"
#include "ui/list/list_row.h"

constexpr int kMenuTextCount = 20;
constexpr int kMenuTextChars = 200;
constexpr int kMenuTitleChars = 80;

// The main list window (ui/list/win32/).
struct ListWindowState {
    ListWindowState() = default;
    ~ListWindowState() { ClearRows(m_rows); }
    ListWindowState(const ListWindowState&) = delete;
    ListWindowState& operator=(const ListWindowState&) = delete;

    HWND m_hList = nullptr;
    UINT_PTR m_clockTimer = 0;
    int m_refreshCountdown = 0;
    int m_windowRectValid = 0;
    RECT m_windowRect = {};
    int m_windowMinimized = 0;
    HWND m_hRemoteWnd = nullptr;
    int m_secondTicks = 0;
    char m_menuTexts[kMenuTextCount][kMenuTextChars] = {};
    char m_menuTitle[kMenuTitleChars] = {};
    HBITMAP m_hSdBitmap = nullptr;
    HBITMAP m_hHdBitmap = nullptr;
    // What the list control shows, item by item: its items are drawn, read and clicked
    // from here, never read back from the control.
    std::vector<ListItemTexts> m_items;
    // Owned rows; freed with the window, or with the object when the window never was.
    RowTable m_rows = {};
};

// The details popup (ui/dialogs/win32/details_popup.cpp): the core's PopupState (shown,
// pinned, ticks, service, last column) and what only the window has.
struct PopupWindowState : PopupState {
    HWND m_hPopup = nullptr;
    ControlSize m_closeButtonSize;  // measured at initialisation
    ControlSize m_tuneButtonSize;
    UINT_PTR m_popupTimer = 0;
    bool m_dragging = false;
    DragStart m_drag;
    HBRUSH m_hBackground = nullptr;
    PopupTexts m_texts;  // what the three text controls show
};

// The update-information dialog (changelog/win32/update_dialog.cpp).
struct UpdateDialogState {
    HWND m_hUpdateDlg = nullptr;
    UpdateSortDirections m_updateSort;
    int m_updateShown = 0;  // "Fixed": the user has the dialog open
    // The records the list shows, by record index (an item's lParam); drawn from here.
    std::vector<UpdateListItem> m_items;
};
