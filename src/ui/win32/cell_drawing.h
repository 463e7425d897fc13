// Owner drawing shared by the two list views that paint their own rows (the main list and
// the update-information list): cell text, column alignment and a row's fills.
#pragma once

#include <windows.h>

#include <initializer_list>

// The column's LVCFMT_* format; LVCFMT_LEFT when the list cannot tell.
int ColumnFormat(HWND list, int column);

// Draws text once in rect as a single line, vertically centred, with an ellipsis where it
// does not fit (left margin 2 with margins; right margin 6 with margins when right-aligned),
// aligned by the column format's low two bits. Returns the width the text needs.
int DrawCellText(bool withMargins, int format, const RECT& rect, const char* text, HDC dc);

// The solid fills of one row, made and deleted around one WM_DRAWITEM.
class RowBrushes {
public:
    RowBrushes(std::initializer_list<COLORREF> colours);
    ~RowBrushes();
    RowBrushes(const RowBrushes&) = delete;
    RowBrushes& operator=(const RowBrushes&) = delete;

    // The brush at a position of the list given at construction.
    HBRUSH At(int index) const;
    // The first brush of that colour; the first brush when none has it.
    HBRUSH For(COLORREF colour) const;

private:
    static constexpr int kMaxBrushes = 4;
    COLORREF m_colours[kMaxBrushes] = {};
    HBRUSH m_brushes[kMaxBrushes] = {};
    int m_count = 0;
};
