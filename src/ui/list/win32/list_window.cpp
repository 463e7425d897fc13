// The main list window: its dialog procedure and the dispatch of its messages, on the
// window's thread. The handlers live beside this file, one concern each.
#include "ui/list/win32/list_window.h"

#include <windows.h>

#include <commctrl.h>

#include <iterator>

#include "res/resource.h"
#include "res/window_ids.h"
#include "ui/list/clock_tick.h"
#include "ui/list/stream_change.h"
#include "ui/win32/dialog_thunk.h"
#include "ui/win32/plugin_services.h"

HWND CListWindow::Create(HWND parent)
{
    return CreateDialogParamA(m_plugin.Instance(), MAKEINTRESOURCEA(IDD_MAIN_WINDOW), parent,
                              DialogThunk<CListWindow>, reinterpret_cast<LPARAM>(this));
}

INT_PTR CListWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_NCDESTROY: m_plugin.MainWindowGone(); return 0;
    case kMsgStreamChangeWork:
        m_plugin.ApplyStreamChangeWork(static_cast<unsigned>(wParam), static_cast<int>(lParam));
        return TRUE;
    default: return 0;
    }
}

void CListWindow::OnSize()
{
    if (!m_hList) return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hList, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CListWindow::OnTimer(UINT_PTR timerId)
{
    if (timerId == kClockTimerId) {
        OnClockTick();
    } else if (timerId == kTuneTimerId) {
        m_plugin.OnTuneTimer();
    }
}

void CListWindow::RedrawAllItems()
{
    if (m_hList) ListView_RedrawItems(m_hList, 0, ListView_GetItemCount(m_hList));
}

// From the top visible item; the item count stands as the last index.
void CListWindow::RepaintVisibleItems()
{
    const HWND list = m_hList;
    if (list) ListView_RedrawItems(list, ListView_GetTopIndex(list), ListView_GetItemCount(list));
}

std::vector<int> CListWindow::ItemRows() const
{
    std::vector<int> rows;
    for (const ListItemTexts& texts : m_items) rows.push_back(texts.rowIndex);
    return rows;
}

int CListWindow::ListItemRow(int item) const
{
    if (item < 0 || static_cast<size_t>(item) >= m_items.size()) return -1;
    return m_items[static_cast<size_t>(item)].rowIndex;
}

std::string CListWindow::ListItemText(int item, int column, int maxChars) const
{
    return ItemColumnText(m_items, item, column, maxChars);
}
