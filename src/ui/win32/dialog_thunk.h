// The dialog procedure of a window object: the object arrives as the creation parameter
// (CreateDialogParam, DialogBoxParam), is kept in the window's user data from WM_INITDIALOG
// to WM_NCDESTROY, and every message in between goes to its HandleMessage. Messages before
// WM_INITDIALOG get the default handling, and no late message reaches the object after
// WM_NCDESTROY. No exception crosses into the system's code: out of memory while filling,
// rebuilding or drawing drops that message, and the next one tries again.
#pragma once

#include <windows.h>

template <class Window>
INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!window) return 0;
    INT_PTR result = 0;
    try {
        result = window->HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        result = 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    return result;
}
