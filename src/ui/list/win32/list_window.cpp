// The main list window: its dialog procedure and the dispatch of its messages, on the
// window's thread. The handlers live beside this file, one concern each.
#include <windows.h>

#include <commctrl.h>

#include <iterator>

#include "plugin/event_view.h"
#include "ui/list/clock_tick.h"

CEventView* g_eventView = nullptr;

INT_PTR CALLBACK MainDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The object arrives as the creation parameter; earlier messages get default handling.
    if (message == WM_INITDIALOG) g_eventView = reinterpret_cast<CEventView*>(lParam);
    CEventView* view = g_eventView;
    if (!view) return 0;
    INT_PTR result = 0;
    try {
        result = view->WindowProc(hwnd, message, wParam, lParam);
    } catch (...) {
        // Out of memory while rebuilding or drawing: this message is dropped, the next one
        // tries again. Nothing may unwind into the system's code.
        result = 0;
    }
    if (message == WM_NCDESTROY) g_eventView = nullptr;
    return result;
}

INT_PTR CEventView::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(hwnd);
    case WM_SIZE: OnSize(); return 0;
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 0;
    case WM_SYSCOMMAND: OnSysCommand(wParam); return 0;
    case WM_COMMAND: OnCommand(wParam); return TRUE;
    case WM_CLOSE: OnClose(); return 0;
    case WM_NOTIFY: OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 1;
    case WM_DESTROY: OnDestroy(); return 0;
    case kMsgStreamChangeWork:
        ApplyStreamChangeWork(static_cast<unsigned>(wParam), static_cast<int>(lParam));
        return TRUE;
    default: return 0;
    }
}

void CEventView::OnSize()
{
    if (!m_list.m_hList) return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_list.m_hList, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEventView::OnTimer(UINT_PTR timerId)
{
    if (timerId == kClockTimerId) {
        OnClockTick();
    } else if (timerId == kTuneTimerId) {
        OnTuneTimer();
    }
}

void CEventView::RedrawAllItems()
{
    if (m_list.m_hList) ListView_RedrawItems(m_list.m_hList, 0, ListView_GetItemCount(m_list.m_hList));
}

// From the top visible item; the item count stands as the last index.
void CEventView::RepaintVisibleItems()
{
    const HWND list = m_list.m_hList;
    if (list) ListView_RedrawItems(list, ListView_GetTopIndex(list), ListView_GetItemCount(list));
}

const RowTable& CEventView::Rows() const { return m_list.m_rows; }

std::vector<int> CEventView::ItemRows() const
{
    std::vector<int> rows;
    for (const ListItemTexts& texts : m_list.m_items) rows.push_back(texts.rowIndex);
    return rows;
}

int CEventView::ListItemRow(int item) const
{
    if (item < 0 || static_cast<size_t>(item) >= m_list.m_items.size()) return -1;
    return m_list.m_items[static_cast<size_t>(item)].rowIndex;
}

std::string CEventView::ListItemText(int item, int column, int maxChars) const
{
    const int columns = static_cast<int>(std::size(ListItemTexts{}.column));
    if (item < 0 || static_cast<size_t>(item) >= m_list.m_items.size() || column < 0 || column >= columns) return {};
    return m_list.m_items[static_cast<size_t>(item)].column[column].substr(0, static_cast<size_t>(maxChars));
}

void CEventView::RebuildRowsAtNextTick() { m_list.m_refreshCountdown = 0; }
