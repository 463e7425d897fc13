// Owner drawing of the main list's items: the colours and the countdown bar come from the
// core (row_colours.h, countdown_bar.h); this file only paints them. Every GDI object made
// for an item is deleted before the item's paint returns.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "plugin/event_view.h"
#include "ui/list/countdown_bar.h"
#include "ui/list/local_clock.h"
#include "ui/list/row_colours.h"
#include "ui/list/win32/list_control.h"
#include "ui/list/win32/list_draw.h"

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

int ColumnFormat(HWND list, int column)
{
    LVCOLUMNA lv = {};
    lv.mask = LVCF_FMT;
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&lv));
    return lv.fmt;
}

// The four fills of one row's scheme; a cell takes the one its colour names.
class RowBrushes {
public:
    explicit RowBrushes(const RowColours& colours)
        : m_colours{colours.nameFill, colours.presentFill, colours.followingFill, colours.emptyFill}
    {
        for (int i = 0; i < kCount; ++i) m_brushes[i] = CreateSolidBrush(m_colours[i]);
    }
    ~RowBrushes()
    {
        for (HBRUSH brush : m_brushes)
            if (brush) DeleteObject(brush);
    }
    RowBrushes(const RowBrushes&) = delete;
    RowBrushes& operator=(const RowBrushes&) = delete;

    HBRUSH For(ColourRef colour) const
    {
        for (int i = 0; i < kCount; ++i)
            if (m_colours[i] == colour) return m_brushes[i];
        return m_brushes[0];
    }

private:
    static constexpr int kCount = 4;
    ColourRef m_colours[kCount];
    HBRUSH m_brushes[kCount] = {};
};

void DrawBar(HDC dc, const ListRow* row, const RECT& cell)
{
    if (!row) return;
    const CellRect at{cell.left, cell.top, cell.right, cell.bottom};
    const auto bar = CountdownBar({row->present.start, row->present.end}, SystemNow(), at);
    if (!bar) return;
    MoveToEx(dc, bar->x1, bar->y, nullptr);
    LineTo(dc, bar->x2, bar->y);
}

struct ItemPaint {
    HWND list;
    HDC dc;
    int item;
    const ListRow* row;
    const RowColours& colours;
    const RowBrushes& brushes;
};

// Columns 1 onwards: fill, the bar under the programme on air, then the text over both.
void PaintProgrammeCells(const ItemPaint& paint)
{
    const HWND header = ListView_GetHeader(paint.list);
    const int columns = header ? Header_GetItemCount(header) : 0;
    for (int k = 1; k < columns; ++k) {
        const int format = ColumnFormat(paint.list, k);
        const std::string text = ItemText(paint.list, paint.item, k);
        RECT cell = {};
        ListView_GetSubItemRect(paint.list, paint.item, k, LVIR_BOUNDS, &cell);
        FillRect(paint.dc, &cell, paint.brushes.For(CellFill(paint.colours, k, text.empty())));
        if (k == 1) DrawBar(paint.dc, paint.row, cell);
        DrawCellText(true, format, cell, text.c_str(), paint.dc);
    }
}

}  // namespace

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

void CEventView::OnDrawItem(const DRAWITEMSTRUCT& draw)
{
    if (!m_hList || draw.hwndItem != m_hList || draw.CtlType != ODT_LISTVIEW) return;
    const int item = static_cast<int>(draw.itemID);
    const ListRow* row = RowAt(m_rows, static_cast<int>(draw.itemData));
    int currentServiceId;
    {
        PluginLockGuard guard(m_lock);
        currentServiceId = m_currentServiceId;
    }
    const RowColours colours = RowColoursFor(row && row->serviceId == currentServiceId, item, row && row->changed);
    const HDC dc = draw.hDC;
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    const RowBrushes brushes(colours);
    const HPEN pen = CreatePen(PS_SOLID, kCountdownPenWidth, colours.pen);
    SetTextColor(dc, colours.nameText);
    if (colours.setBackground) SetBkColor(dc, colours.background);
    const HGDIOBJ oldPen = SelectObject(dc, pen);

    RECT bounds = {};
    RECT label = {};
    ListView_GetItemRect(m_hList, item, &bounds, LVIR_BOUNDS);
    ListView_GetItemRect(m_hList, item, &label, LVIR_LABEL);
    FillRect(dc, &label, brushes.For(colours.nameFill));
    bounds.left = label.left;
    DrawCellText(true, ColumnFormat(m_hList, 0), label, ItemText(m_hList, item, 0).c_str(), dc);

    SetTextColor(dc, colours.programmeText);
    PaintProgrammeCells({m_hList, dc, item, row, colours, brushes});
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &bounds);

    SelectObject(dc, oldPen);
    DeleteObject(pen);
    RestoreDC(dc, saved);
}
