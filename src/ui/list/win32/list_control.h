// Thin wrappers over the main list control's messages (ANSI forms: texts are Shift-JIS).
#pragma once

#include <windows.h>

#include <string>

#include "ui/list/list_items.h"

constexpr int kCellTextChars = 255;

// The item's lParam (its row index in m_rows); -1 when the item does not exist.
int ItemRowIndex(HWND list, int item);

// The item's text in a column, at most maxChars characters.
std::string ItemText(HWND list, int item, int column, int maxChars = kCellTextChars);

// Writes the decided items: inserts or overwrites items 0..n-1 with their three texts and
// row index. The surplus is left for DeleteSurplusItems, after the popup has been refreshed.
void WriteListItems(HWND list, const ListUpdate& update);
void DeleteSurplusItems(HWND list, const ListUpdate& update);
