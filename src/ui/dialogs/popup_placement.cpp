#include "ui/dialogs/popup_placement.h"

PopupPlacement PlacePopup(const PopupState& state, bool userClick, int pointerX, int pointerY, int width, int height,
                          int screenWidth, int screenHeight)
{
    PopupPlacement placement;
    if (state.m_popupPinned != 0 || !userClick) return placement;
    placement.move = true;
    placement.x = screenWidth < width + pointerX + kPopupPointerGap ? pointerX - width - kPopupPointerGap
                                                                    : pointerX + kPopupPointerGap;
    placement.y = screenHeight < height + pointerY + kPopupPointerGap ? pointerY - height - kPopupPointerGap
                                                                      : pointerY + kPopupPointerGap;
    return placement;
}
