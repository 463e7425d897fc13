// Where the three windows sit, as the settings file keeps it. One chain of keys per window:
// WindowX, WindowY, WindowCX, WindowCY, and for the list window WindowMin. The list window
// keeps its right and bottom edges in WindowCX/WindowCY; the popup and the update dialog keep
// a width and a height there.
#pragma once

#include <cstdint>

#include "settings/profile.h"
#include "settings/settings_keys.h"

// A window's edges in screen coordinates.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A position with a size: what a window is moved and sized to.
struct WindowBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlSize {
    int width = 0;
    int height = 0;
};

// Width and height wrap round as the window manager's own arithmetic does: a chain read back
// from the file gives the numbers written to it, whatever they are.
WindowBox BoxOf(const ScreenRect& rect);

enum class GeometryConvention {
    Edges,  // WindowCX/WindowCY: right and bottom edges
    Size,   // WindowCX/WindowCY: width and height
};

struct WindowGeometryKeys {
    const char* section;
    const TextSetting* chain;
    int chainLength;  // 5 with WindowMin, 4 without
    GeometryConvention convention;
};

constexpr WindowGeometryKeys kListWindowGeometry = {kSectionLumaraList, kMainGeometryChain, kMainGeometryChainLength,
                                                    GeometryConvention::Edges};
constexpr WindowGeometryKeys kPopupGeometry = {kSectionPopDialog, kPopGeometryChain, kDialogGeometryChainLength,
                                               GeometryConvention::Size};
constexpr WindowGeometryKeys kUpdateDialogGeometry = {kSectionUpdateDialog, kUpdateGeometryChain,
                                                      kDialogGeometryChainLength, GeometryConvention::Size};

struct SavedGeometry {
    ScreenRect rect;
    int32_t minimized = 0;  // WindowMin; only the list window keeps it
};

// The window's saved place; false when the chain stops at an empty text, and the window then
// keeps the place its template gave it.
bool ReadWindowGeometry(IProfile& profile, const WindowGeometryKeys& keys, SavedGeometry& saved);

// Writes the chain in its order.
void WriteWindowGeometry(IProfile& profile, const WindowGeometryKeys& keys, const SavedGeometry& saved);

// The list window's geometry after one look at the window: a minimised window keeps the
// rectangle it had before, so that it reopens where it was restored last.
SavedGeometry SampleListGeometry(const SavedGeometry& kept, bool minimized, const ScreenRect& window);
