// Owner drawing of the main list's items: the texts are the rebuild's (m_items), the
// colours and the countdown bar come from the core (row_colours.h, countdown_bar.h); this
// file only paints them. Every GDI object made for an item is deleted before the item's
// paint returns.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/list/countdown_bar.h"
#include "ui/list/local_clock.h"
#include "ui/list/row_colours.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/cell_drawing.h"
#include "ui/win32/list_view.h"
#include "ui/win32/plugin_services.h"

namespace {

void DrawBar(HDC dc, const ListRow* row, int column, int64_t now, const RECT& cell)
{
    const auto bar = CellBar(row, column, now, {cell.left, cell.top, cell.right, cell.bottom});
    if (!bar) return;
    MoveToEx(dc, bar->x1, bar->y, nullptr);
    LineTo(dc, bar->x2, bar->y);
}

struct ItemPaint {
    const CListWindow& window;
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
    const int64_t now = SystemNow();
    for (int k = 1; k < columns; ++k) {
        const int format = ColumnFormat(paint.list, k);
        const std::string text = paint.window.ListItemText(paint.item, k, kCellTextChars);
        RECT cell = {};
        ListView_GetSubItemRect(paint.list, paint.item, k, LVIR_BOUNDS, &cell);
        FillRect(paint.dc, &cell, paint.brushes.For(CellFill(paint.colours, k, text.empty())));
        DrawBar(paint.dc, paint.row, k, now, cell);
        DrawCellText(true, format, cell, text.c_str(), paint.dc);
    }
}

}  // namespace

void CListWindow::OnDrawItem(const DRAWITEMSTRUCT& draw)
{
    if (!m_hList || draw.hwndItem != m_hList || draw.CtlType != ODT_LISTVIEW) return;
    const int item = static_cast<int>(draw.itemID);
    const ListRow* row = RowAt(m_rows, static_cast<int>(draw.itemData));
    const int currentServiceId = m_plugin.CurrentServiceId();
    const RowColours colours = ItemColours(row, currentServiceId, item);
    const HDC dc = draw.hDC;
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    const RowBrushes brushes{colours.nameFill, colours.presentFill, colours.followingFill, colours.emptyFill};
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
    DrawCellText(true, ColumnFormat(m_hList, 0), label, ListItemText(item, 0, kCellTextChars).c_str(), dc);

    SetTextColor(dc, colours.programmeText);
    PaintProgrammeCells({*this, m_hList, dc, item, row, colours, brushes});
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &bounds);

    SelectObject(dc, oldPen);
    DeleteObject(pen);
    RestoreDC(dc, saved);
}
