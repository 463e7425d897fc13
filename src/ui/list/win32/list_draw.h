// Text drawing of one list cell.
#pragma once

#include <windows.h>

// Draws text once in rect as a single line, vertically centred, with an ellipsis where it
// does not fit (left margin 2 with margins; right margin 6 with margins when right-aligned),
// aligned by the column format's low two bits. Returns the width the text needs.
int DrawCellText(bool withMargins, int format, const RECT& rect, const char* text, HDC dc);
