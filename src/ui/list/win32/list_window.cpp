// The main list window: its dialog procedure and message handlers, on the window's thread.
#include <windows.h>

#include "plugin/event_view.h"

CEventView* g_eventView = nullptr;

INT_PTR CALLBACK MainDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The object arrives as the creation parameter; earlier messages get default handling.
    if (message == WM_INITDIALOG) g_eventView = reinterpret_cast<CEventView*>(lParam);
    CEventView* view = g_eventView;
    if (!view) return 0;
    const INT_PTR result = view->WindowProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) g_eventView = nullptr;
    return result;
}

INT_PTR CEventView::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(hwnd);
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_DESTROY: OnDestroy(); return 0;
    case kMsgStreamChangeWork:
        ApplyStreamChangeWork(static_cast<unsigned>(wParam), static_cast<int>(lParam));
        return TRUE;
    default: return 0;
    }
}

BOOL CEventView::OnInitDialog(HWND hwnd)
{
    m_hWnd = hwnd;
    return TRUE;
}

void CEventView::OnTimer(UINT_PTR) {}

void CEventView::OnDestroy()
{
    KillTuneTimer();
    ReleaseParser();
}

// Brings the details popup up to date when it shows this service; there is no popup yet.
void CEventView::RefreshPopupForService(int) {}
