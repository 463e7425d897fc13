#include "ui/dialogs/popup_show.h"

#include <string>

PopupShowPlan PlanPopupShow(PopupState& state, const PopupShowRequest& request, const RowTable& rows,
                            const std::vector<ListItemTexts>& items, const PopupDescriber& describe)
{
    PopupShowPlan plan;
    const ListRow* row = RowAt(rows, request.rowIndex);
    if (!row) return plan;
    const PopupClick click = DecidePopupClick(state, request.hasWindow, request.column, row->serviceId, request.userClick);
    if (click == PopupClick::Ignore) return plan;
    if (click == PopupClick::Hide) {
        plan.hide = HidePopupState(state, request.hasWindow);
        return plan;
    }
    // A row without a list item (a refresh after a rebuild) shows its present programme.
    const bool ownTexts = request.item < 0;
    const std::string cell = ownTexts ? std::string(row->present.title)
                                      : ItemColumnText(items, request.item, request.column, kPopupCellTextBytes - 1);
    const std::string name = ownTexts ? std::string(row->serviceName)
                                      : ItemColumnText(items, request.item, 0, kPopupNameTextBytes - 1);
    if (!describe(*row, request.column, cell.c_str(), name.c_str(), plan.texts)) return plan;
    PopupFilled(state, row->serviceId);
    plan.fill = true;
    const bool busy = request.tuningBusy && request.tuningBusy();
    plan.tuneButtonVisible = !busy;
    state.m_tuneButtonShown = plan.tuneButtonVisible;
    plan.tuneButtonText = TuneButtonText(busy);
    plan.placement = PlacePopup(state, request.userClick, request.pointerX, request.pointerY, request.width,
                                request.height, request.screenWidth, request.screenHeight);
    plan.showWindow = PresentPopupState(state);
    return plan;
}
