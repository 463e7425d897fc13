#include "geometry/dialog_layout.h"

namespace {

constexpr int kPopupButtonMargin = 4;  // between the buttons and the popup's top and right edges
// Gap between the list and the buttons, and between the buttons and the dialog's edges.
constexpr int kUpdateButtonGap = 8;
constexpr int kUpdateButtonBottomGap = 4;

}  // namespace

PopupLayout LayOutPopup(int width, int height, ControlSize close, ControlSize tune)
{
    const int m = kPopupButtonMargin;
    const int header = close.height + 2 * m;
    const int lineWidth = width - tune.width - close.width - 3 * m;
    PopupLayout layout;
    layout.close = {width - close.width - m, m, close.width, close.height};
    layout.tune = {width - tune.width - close.width - 2 * m, m, tune.width, tune.height};
    layout.name = {m, 0, lineWidth, header / 2};
    layout.times = {m, header / 2, lineWidth, header / 2};
    layout.text = {0, header, width, height - header};
    return layout;
}

UpdateDialogLayout LayOutUpdateDialog(int width, int height, ControlSize button)
{
    const int buttonTop = height - button.height - kUpdateButtonBottomGap;
    UpdateDialogLayout layout;
    layout.list = {0, 0, width, height - button.height - kUpdateButtonGap};
    layout.clear = {kUpdateButtonGap, buttonTop, button.width, button.height};
    layout.close = {width - button.width - kUpdateButtonGap, buttonTop, button.width, button.height};
    return layout;
}
