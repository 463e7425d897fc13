// Thin wrappers over the main list control's messages (ANSI forms: texts are Shift-JIS).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/list/list_items.h"

constexpr int kCellTextChars = 255;

// The item's lParam (its row index in m_rows); -1 when the item does not exist.
int ItemRowIndex(HWND list, int item);

// Every item's lParam in list order; null list: none.
std::vector<int> ItemRowIndices(HWND list);

// The item's text in a column, at most maxChars characters.
std::string ItemText(HWND list, int item, int column, int maxChars = kCellTextChars);

// Registers the list-view class; dialogs whose templates hold list views need it before
// they are created, since their controls exist before WM_INITDIALOG.
void InitListViewClasses();

// Appends a left-aligned column at `index` with its header text and width.
void InsertTextColumn(HWND list, int index, const char* title, int width);

// Writes the decided items: inserts or overwrites items 0..n-1 with their three texts and
// row index. The surplus is left for DeleteSurplusItems, after the popup has been refreshed.
void WriteListItems(HWND list, const ListUpdate& update);
void DeleteSurplusItems(HWND list, const ListUpdate& update);
