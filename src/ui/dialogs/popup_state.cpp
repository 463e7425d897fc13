#include "ui/dialogs/popup_state.h"

#include "ui/list/tune_request.h"

PopupState InitialPopupState(int fixedSetting)
{
    PopupState state;
    // The saved value as it stands: it is written back unchanged while nobody pins or closes.
    state.m_popupPinned = state.m_popupShown = fixedSetting;
    return state;
}

PopupClick DecidePopupClick(PopupState& state, bool hasWindow, int column, uint16_t rowServiceId, bool userClick)
{
    if (!hasWindow) return PopupClick::Ignore;
    if (state.m_popupShown == 0 && !userClick) return PopupClick::Ignore;
    if (state.m_popupPinned == 0 && state.m_popupShown != 0 && userClick && rowServiceId == state.m_popupServiceId &&
        column == state.m_lastColumn)
        return PopupClick::Hide;
    state.m_lastColumn = column;
    return PopupClick::Fill;
}

void PopupFilled(PopupState& state, uint16_t rowServiceId)
{
    state.m_popupServiceId = rowServiceId;
}

bool HidePopupState(PopupState& state, bool hasWindow)
{
    if (!hasWindow || state.m_popupShown == 0 || state.m_popupPinned != 0) return false;
    state.m_popupShown = 0;
    return true;
}

bool ClosePopupState(PopupState& state, bool hasWindow)
{
    state.m_popupPinned = 0;
    return HidePopupState(state, hasWindow);
}

bool PresentPopupState(PopupState& state)
{
    const bool show = state.m_popupShown == 0;
    state.m_popupShown = 1;
    state.m_popupTicks = 0;
    return show;
}

bool PopupTimerTick(PopupState& state, int pointerX, int pointerY, const ScreenRect& window)
{
    // A pinned popup keeps counting; saturate so that years of it cannot overflow.
    if (state.m_popupTicks < kPopupIdleTicks) ++state.m_popupTicks;
    bool hide = state.m_popupTicks >= kPopupIdleTicks;
    const bool inside = pointerX >= window.left && pointerX <= window.right && pointerY >= window.top &&
                        pointerY <= window.bottom;
    if (inside) {
        state.m_popupTicks = 0;
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

TuneButtonChange TuneButtonTick(PopupState& state, bool busy, bool popupVisible)
{
    const bool onScreen = popupVisible && state.m_tuneButtonShown != 0;
    if (busy && onScreen) {
        state.m_tuneButtonShown = 0;
        return TuneButtonChange::Hide;
    }
    if (!busy && !onScreen) {
        state.m_tuneButtonShown = 1;
        return TuneButtonChange::Show;
    }
    return TuneButtonChange::None;
}

bool TuneButtonAfterLayout(PopupState& state, bool popupVisible)
{
    state.m_tuneButtonShown = popupVisible && state.m_tuneButtonShown != 0;
    return state.m_tuneButtonShown != 0;
}

ScreenPoint PopupDragTarget(const DragStart& start, int pointerX, int pointerY)
{
    return {start.left + pointerX - start.pointerX, start.top + pointerY - start.pointerY};
}

ScreenPoint PopupDragMove(PopupState& state, const DragStart& start, int pointerX, int pointerY)
{
    state.m_popupPinned = 1;
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
    return i < 0 ? 0 : kTuneCommandBase + itemRows[i];
}

PopupFollow PopupFollowRow(const RowTable& rows, const int* itemRows, int itemCount, int serviceId)
{
    const int i = FirstItemShowing(rows, itemRows, itemCount, serviceId);
    if (i >= 0) return {itemRows[i], i};
    return {FindRowIndex(rows, serviceId), -1};
}
