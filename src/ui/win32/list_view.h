// Thin wrappers over the main list control's messages (ANSI forms: texts are Shift-JIS).
#pragma once

#include <windows.h>

#include <string>

#include "ui/list/list_items.h"

// The most a cell shows of its text.
constexpr int kCellTextChars = 255;

// Registers the list-view class; dialogs whose templates hold list views need it before
// they are created, since their controls exist before WM_INITDIALOG.
void InitListViewClasses();

// Appends a left-aligned column at `index` with its header text and width.
void InsertTextColumn(HWND list, int index, const char* title, int width);

// Writes the decided items: inserts or overwrites items 0..n-1 with their three texts and
// row index. The surplus is left for DeleteSurplusItems, after the popup has been refreshed.
void WriteListItems(HWND list, const ListUpdate& update);
void DeleteSurplusItems(HWND list, const ListUpdate& update);
