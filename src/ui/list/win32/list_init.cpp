// The main window's creation and destruction: the system menu, the companion windows, the
// list control with its columns, the saved geometry and the timers; the plug-in builds the
// data files' paths, loads them and saves them.
#include <windows.h>

#include <commctrl.h>

#include "geometry/window_geometry.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "ts/diagnostics.h"
#include "ui/list/clock_tick.h"
#include "ui/list/list_click.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/list_view.h"
#include "ui/win32/plugin_services.h"
#include "ui/win32/window_place.h"
#include "res/window_ids.h"

namespace {

constexpr const char* kColumnTitles[kListColumns] = {"CH", "現在の番組", "次の番組"};
constexpr TextSetting kColumnWidths[kListColumns] = {kMainChw, kMainNowW, kMainNextW};
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                             LVS_OWNERDRAWFIXED | LVS_NOSORTHEADER;

void InsertBeforeClose(HMENU menu, UINT id, const char* text)
{
    InsertMenuA(menu, SC_CLOSE, MF_BYCOMMAND | (text ? MF_STRING : MF_SEPARATOR), id, text);
}

void ApplyDialogGeometry(IProfile& profile, HWND dialog, const WindowGeometryKeys& keys)
{
    SavedGeometry saved;
    if (ReadWindowGeometry(profile, keys, saved)) PlaceWindow(dialog, BoxOf(saved.rect));
}

}  // namespace

HWND CListWindow::CreateListControl(IProfile& profile)
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", kListStyle, 0, 0, client.right - client.left,
                                client.bottom - client.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), m_plugin.Instance(),
                                nullptr);
    if (!list) return nullptr;
    for (int k = 0; k < kListColumns; ++k)
        InsertTextColumn(list, k, kColumnTitles[k], ReadSetting(profile, kSectionLumaraList, kColumnWidths[k]).value);
    return list;
}

void CListWindow::RestoreMainGeometry(IProfile& profile)
{
    SavedGeometry saved;
    if (!ReadWindowGeometry(profile, kListWindowGeometry, saved)) return;
    m_windowRect = RectOf(saved.rect);
    m_windowMinimized = saved.minimized;
    PlaceWindow(m_hWnd, BoxOf(saved.rect));
    if (saved.minimized) ShowWindow(m_hWnd, SW_MINIMIZE);
}

// Without a list control there are no widths to keep: the saved ones stay.
void CListWindow::SaveMainSettings(IProfile& profile) const
{
    if (m_hList)
        for (int k = 0; k < kListColumns; ++k)
            WriteProfileInt(profile, kSectionLumaraList, kColumnWidths[k].key, ListView_GetColumnWidth(m_hList, k));
    if (!m_windowRectValid) return;
    WriteWindowGeometry(profile, kListWindowGeometry, {ScreenRectOf(m_windowRect), m_windowMinimized});
}

BOOL CListWindow::OnInitDialog(HWND hwnd)
{
    m_hWnd = hwnd;
    m_plugin.MainWindowInitialised(hwnd);
    CPrivateProfile profile(m_plugin.SettingsPath());
    HMENU systemMenu = GetSystemMenu(hwnd, FALSE);
    InsertBeforeClose(systemMenu, kCmdClearProgrammes, kMenuClearProgrammes);
    InsertBeforeClose(systemMenu, 0, nullptr);
    InsertBeforeClose(systemMenu, kCmdSettings, kMenuSettings);
    if (const HWND update = m_update.Create(profile)) {
        InsertBeforeClose(systemMenu, kShowUpdatesCommand, kMenuShowUpdates);
        ApplyDialogGeometry(profile, update, kUpdateDialogGeometry);
    }
    InsertBeforeClose(systemMenu, 0, nullptr);
    if (const HWND popup = m_popup.Create(profile)) ApplyDialogGeometry(profile, popup, kPopupGeometry);
    InitListViewClasses();
    m_plugin.LoadDataFiles();
    m_hList = CreateListControl(profile);
    RestoreMainGeometry(profile);
    m_hSdBitmap = LoadBitmapA(m_plugin.Instance(), kSdBitmapName);
    m_hHdBitmap = LoadBitmapA(m_plugin.Instance(), kHdBitmapName);
    Trace("Bitmap = %x,%x\r\n", m_hSdBitmap, m_hHdBitmap);
    m_clockTimer = SetTimer(hwnd, kClockTimerId, kClockTimerPeriodMs, nullptr);
    return TRUE;
}

void CListWindow::OnDestroy()
{
    m_popup.Destroy();
    m_update.Destroy();
    ClearRows(m_rows);
    m_plugin.SaveDataFiles();
    if (m_clockTimer) KillTimer(m_hWnd, m_clockTimer);
    m_clockTimer = 0;
    if (m_hSdBitmap) DeleteObject(m_hSdBitmap);
    if (m_hHdBitmap) DeleteObject(m_hHdBitmap);
    m_hSdBitmap = m_hHdBitmap = nullptr;
    CPrivateProfile profile(m_plugin.SettingsPath());
    SaveMainSettings(profile);
    if (m_hList) DestroyWindow(m_hList);
    m_hList = nullptr;
    m_plugin.ReleaseParser();
}
