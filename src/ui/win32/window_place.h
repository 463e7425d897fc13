// The core's rectangles and boxes applied to windows.
#pragma once

#include <windows.h>

#include "geometry/window_geometry.h"

inline ScreenRect ScreenRectOf(const RECT& rect)
{
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

inline RECT RectOf(const ScreenRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

inline ScreenRect WindowRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return ScreenRectOf(rect);
}

// Moves and sizes the window without changing its z-order or activating it; flags may add
// SWP_NOSIZE.
inline void PlaceWindow(HWND window, const WindowBox& box, UINT flags = 0)
{
    SetWindowPos(window, nullptr, box.x, box.y, box.width, box.height, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

inline ControlSize WindowSizeOf(HWND window)
{
    const WindowBox box = BoxOf(WindowRectOf(window));
    return {box.width, box.height};
}
