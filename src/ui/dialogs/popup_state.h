// The details popup's behaviour as decisions over its state: whether a click fills, hides or
// is ignored, when it hides, its 100 ms timer, the tune button and the drag that pins it. The
// popup window keeps a PopupState and applies what each decision returns.
#pragma once

#include <cstdint>

#include "geometry/window_geometry.h"
#include "ui/list/list_row.h"

constexpr unsigned kPopupTimerMs = 100;
constexpr int32_t kPopupIdleTicks = 50;    // five seconds without the pointer over the popup
constexpr int kPopupLeaveDistance = 150;   // pixels beyond an edge that hide the popup
constexpr int kPopupMinWidth = 320;        // minimum tracking size
constexpr int kPopupMinHeight = 50;
constexpr uint32_t kPopupBackground = 0xE5FFFF;  // COLORREF: 255, 255, 229
constexpr const char* kTuneButtonText = "選局";

struct PopupState {
    int32_t m_popupShown = 0;       // the popup logic has it on screen
    int32_t m_popupPinned = 0;      // "PopDialog" "Fixed"
    int32_t m_popupTicks = 0;       // timer ticks since the pointer was last over it
    uint16_t m_popupServiceId = 0;  // the service of the row whose programme is shown
    int m_lastColumn = -1;          // the last column shown
    // The "選局" button's own visibility flag, held here rather than read back from the
    // control: on screen only while the popup is. Initialisation lays it out hidden.
    int32_t m_tuneButtonShown = 0;
};

// Start-up: pinned and shown when the saved "Fixed" is not 0; nothing shown yet, no column.
PopupState InitialPopupState(int fixedSetting);

enum class PopupClick {
    Ignore,  // no window, or a refresh while the popup is not shown
    Hide,    // a second click on the same cell: call HidePopup
    Fill,    // go on: read the cell text and describe the programme (the column is remembered)
};
PopupClick DecidePopupClick(PopupState& state, bool hasWindow, int column, uint16_t rowServiceId, bool userClick);

// After DescribeProgramme succeeded: the popup now shows this service.
void PopupFilled(PopupState& state, uint16_t rowServiceId);

// HidePopup: true when the window must be hidden, its timer stopped and the keyboard focus
// given to the main window (a pinned popup stays). Clears the shown flag then.
bool HidePopupState(PopupState& state, bool hasWindow);

// The "×" button: unpins the popup, then hides it as HidePopupState says.
bool ClosePopupState(PopupState& state, bool hasWindow);

// PresentPopup after placement: true when the window must be shown (it was not). Marks the
// popup shown and restarts the tick count; the caller restarts the popup timer.
bool PresentPopupState(PopupState& state);

// One tick of the popup timer with the pointer's screen position and the popup's window rectangle.
// True when HidePopup must be called.
bool PopupTimerTick(PopupState& state, int pointerX, int pointerY, const ScreenRect& window);

// The tune button: hidden with empty text while a tuning request is pending or a recording
// runs ("busy"), else shown with "選局".
enum class TuneButtonChange { None, Hide, Show };
const char* TuneButtonText(bool busy);
// A popup timer tick; popupVisible: the popup window is on screen. A button off screen is
// shown when not busy, never hidden.
TuneButtonChange TuneButtonTick(PopupState& state, bool busy, bool popupVisible);
// A layout hides both buttons and shows them again: true when the tune button comes back,
// which it does only when it was on screen.
bool TuneButtonAfterLayout(PopupState& state, bool popupVisible);

// Dragging by a header line keeps the popup's offset to the pointer; the first move pins it.
struct DragStart {
    int left = 0;
    int top = 0;
    int pointerX = 0;
    int pointerY = 0;
};
struct ScreenPoint {
    int x = 0;
    int y = 0;
};
// WM_MOUSEMOVE while dragging: the new position, and the popup is pinned.
ScreenPoint PopupDragMove(PopupState& state, const DragStart& start, int pointerX, int pointerY);
// WM_LBUTTONUP while dragging: the last move; a click without a move does not pin.
ScreenPoint PopupDragTarget(const DragStart& start, int pointerX, int pointerY);

// The "選局" button's command for the main window: kTuneCommandBase + the row index of the first list item
// (itemRows: the items' lParams in list order) whose row shows the popup's service; 0 when
// none does.
int PopupTuneCommand(const RowTable& rows, const int* itemRows, int itemCount, uint16_t serviceId);

// The row the popup follows for a service once the rows were rebuilt: the first list item
// showing it (its texts are read from the item), else the service's row alone (texts from the
// row, item -1); row -1 when no row shows the service.
struct PopupFollow {
    int row = -1;
    int item = -1;
};
PopupFollow PopupFollowRow(const RowTable& rows, const int* itemRows, int itemCount, int serviceId);
