#include "ui/dialogs/popup_state.h"

PopupState InitialPopupState(int fixedSetting)
{
    PopupState state;
    state.pinned = state.shown = fixedSetting != 0 ? 1 : 0;
    return state;
}

PopupClick DecidePopupClick(PopupState& state, bool hasWindow, int column, uint16_t rowServiceId, bool userClick)
{
    if (!hasWindow) return PopupClick::Ignore;
    if (state.shown == 0 && !userClick) return PopupClick::Ignore;
    if (state.pinned == 0 && state.shown != 0 && userClick && rowServiceId == state.serviceId &&
        column == state.lastColumn)
        return PopupClick::Hide;
    state.lastColumn = column;
    return PopupClick::Fill;
}

void PopupFilled(PopupState& state, uint16_t rowServiceId)
{
    state.serviceId = rowServiceId;
}

bool HidePopupState(PopupState& state, bool hasWindow)
{
    if (!hasWindow || state.shown == 0 || state.pinned != 0) return false;
    state.shown = 0;
    return true;
}

bool PresentPopupState(PopupState& state)
{
    const bool show = state.shown == 0;
    state.shown = 1;
    state.ticks = 0;
    return show;
}

bool PopupTimerTick(PopupState& state, int pointerX, int pointerY, const ScreenRect& window)
{
    // A pinned popup keeps counting; saturate so that years of it cannot overflow.
    if (state.ticks < kPopupIdleTicks) ++state.ticks;
    bool hide = state.ticks >= kPopupIdleTicks;
    const bool inside = pointerX >= window.left && pointerX <= window.right && pointerY >= window.top &&
                        pointerY <= window.bottom;
    if (inside) {
        state.ticks = 0;
    } else if (window.left - pointerX > kPopupLeaveDistance || pointerX - window.right > kPopupLeaveDistance ||
               window.top - pointerY > kPopupLeaveDistance || pointerY - window.bottom > kPopupLeaveDistance) {
        hide = true;
    }
    return hide;
}

const char* TuneButtonText(bool busy)
{
    return busy ? "" : kTuneButtonText;
}

TuneButtonChange TuneButtonUpkeep(bool busy, bool buttonVisible)
{
    if (busy && buttonVisible) return TuneButtonChange::Hide;
    if (!busy && !buttonVisible) return TuneButtonChange::Show;
    return TuneButtonChange::None;
}

ScreenPoint PopupDragTarget(const DragStart& start, int pointerX, int pointerY)
{
    return {start.left + pointerX - start.pointerX, start.top + pointerY - start.pointerY};
}

ScreenPoint PopupDragMove(PopupState& state, const DragStart& start, int pointerX, int pointerY)
{
    state.pinned = 1;
    return PopupDragTarget(start, pointerX, pointerY);
}

namespace {

// Position in itemRows of the first item whose row shows the service, or -1.
int FirstItemShowing(const RowTable& rows, const int* itemRows, int itemCount, int serviceId)
{
    for (int i = 0; itemRows && i < itemCount; ++i) {
        const ListRow* row = RowAt(rows, itemRows[i]);
        if (row && row->serviceId == serviceId) return i;
    }
    return -1;
}

}  // namespace

int PopupTuneCommand(const RowTable& rows, const int* itemRows, int itemCount, uint16_t serviceId)
{
    const int i = FirstItemShowing(rows, itemRows, itemCount, serviceId);
    return i < 0 ? 0 : kPopupTuneCommandBase + itemRows[i];
}

PopupFollow PopupFollowRow(const RowTable& rows, const int* itemRows, int itemCount, int serviceId)
{
    const int i = FirstItemShowing(rows, itemRows, itemCount, serviceId);
    if (i >= 0) return {itemRows[i], i};
    return {FindRowIndex(rows, serviceId), -1};
}
