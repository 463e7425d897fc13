#include "ui/win32/cell_drawing.h"

#include <commctrl.h>

namespace {

constexpr int kMarginLeft = 2;
constexpr int kMarginRightAligned = 6;

UINT AlignmentOf(int format)
{
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_LEFT: return DT_LEFT;
    case LVCFMT_RIGHT: return DT_RIGHT;
    default: return DT_CENTER;
    }
}

}  // namespace

int ColumnFormat(HWND list, int column)
{
    LVCOLUMNA lv = {};
    lv.mask = LVCF_FMT;
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&lv))) return LVCFMT_LEFT;
    return lv.fmt;
}

int DrawCellText(bool withMargins, int format, const RECT& rect, const char* text, HDC dc)
{
    DRAWTEXTPARAMS params = {};
    params.cbSize = sizeof(params);
    params.iTabLength = 0;
    params.iLeftMargin = withMargins ? kMarginLeft : 0;
    params.iRightMargin = withMargins && (format & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? kMarginRightAligned : 0;
    const UINT flags = AlignmentOf(format) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    RECT drawn = rect;
    DrawTextExA(dc, const_cast<char*>(text), -1, &drawn, flags, &params);
    RECT measured = rect;
    DrawTextExA(dc, const_cast<char*>(text), -1, &measured, flags | DT_CALCRECT, &params);
    return measured.right - measured.left;
}

RowBrushes::RowBrushes(std::initializer_list<COLORREF> colours)
{
    for (COLORREF colour : colours) {
        if (m_count == kMaxBrushes) break;
        m_colours[m_count] = colour;
        m_brushes[m_count] = CreateSolidBrush(colour);
        ++m_count;
    }
}

RowBrushes::~RowBrushes()
{
    for (int i = 0; i < m_count; ++i)
        if (m_brushes[i]) DeleteObject(m_brushes[i]);
}

HBRUSH RowBrushes::At(int index) const { return index >= 0 && index < m_count ? m_brushes[index] : m_brushes[0]; }

HBRUSH RowBrushes::For(COLORREF colour) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_colours[i] == colour) return m_brushes[i];
    return m_brushes[0];
}
