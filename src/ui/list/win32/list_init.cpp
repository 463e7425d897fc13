// The main window's creation and destruction: the three data files, the system menu, the
// companion windows, the list control with its columns, the saved geometry and the timers.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "changelog/change_log_file.h"
#include "geometry/window_geometry.h"
#include "plugin/event_view.h"
#include "settings/data_file_path.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "store/data_file.h"
#include "store/event_cache.h"
#include "store/programme_store.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"
#include "changelog/win32/update_dialog.h"
#include "ui/dialogs/win32/details_popup.h"
#include "ui/list/clock_tick.h"
#include "ui/win32/list_view.h"
#include "ui/win32/window_place.h"
#include "res/window_ids.h"

namespace {

constexpr int kColumnCount = 3;
constexpr const char* kColumnTitles[kColumnCount] = {"CH", "現在の番組", "次の番組"};
constexpr TextSetting kColumnWidths[kColumnCount] = {kMainChw, kMainNowW, kMainNextW};
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                             LVS_OWNERDRAWFIXED | LVS_NOSORTHEADER;

void BuildDataFilePaths(CEventView& view)
{
    char exePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    // A name cut at MAX_PATH would point elsewhere: keep no path at all then.
    if (length == 0 || length >= MAX_PATH) return;
    BuildDataFilePath(exePath, kSettingsFileExtension, view.m_iniPath, kPathChars);
    BuildDataFilePath(exePath, kEventCacheFileExtension, view.m_datPath, kPathChars);
    BuildDataFilePath(exePath, kChangeLogFileExtension, view.m_updPath, kPathChars);
}

void InsertBeforeClose(HMENU menu, UINT id, const char* text)
{
    InsertMenuA(menu, SC_CLOSE, MF_BYCOMMAND | (text ? MF_STRING : MF_SEPARATOR), id, text);
}

void ApplyDialogGeometry(IProfile& profile, HWND dialog, const WindowGeometryKeys& keys)
{
    SavedGeometry saved;
    if (ReadWindowGeometry(profile, keys, saved)) PlaceWindow(dialog, BoxOf(saved.rect));
}

void SetUpUpdateDialog(CEventView& view, IProfile& profile, HMENU systemMenu)
{
    const HWND dialog = CreateUpdateDialog(view, profile);
    if (!dialog) return;
    InsertBeforeClose(systemMenu, kCmdShowUpdates, kMenuShowUpdates);
    ApplyDialogGeometry(profile, dialog, kUpdateDialogGeometry);
}

void SetUpDetailsPopup(CEventView& view, IProfile& profile)
{
    const HWND popup = CreateDetailsPopup(view, profile);
    if (popup) ApplyDialogGeometry(profile, popup, kPopupGeometry);
}

// The event cache, then the change log. The files are read with the lock released (the
// change log is the window thread's alone); only the move of the loaded store into the
// parser holds it.
void LoadEventCacheFile(CEventView& view)
{
    std::unique_ptr<ProgrammeStore> loaded(new (std::nothrow) ProgrammeStore());
    if (!loaded || !LoadEventCache(*loaded, view.m_datPath)) return;
    PluginLockGuard guard(view.m_lock);
    if (view.m_pParser) MoveLoadedCache(*loaded, *view.m_pParser);
}

void LoadDataFiles(CEventView& view)
{
    LoadEventCacheFile(view);
    LoadChangeLog(view.m_changeLog, view.m_updPath);
}

HWND CreateListControl(CEventView& view, IProfile& profile)
{
    RECT client = {};
    GetClientRect(view.m_hWnd, &client);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", kListStyle, 0, 0, client.right - client.left,
                                client.bottom - client.top, view.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), view.m_hInstance,
                                nullptr);
    if (!list) return nullptr;
    for (int k = 0; k < kColumnCount; ++k)
        InsertTextColumn(list, k, kColumnTitles[k], ReadSetting(profile, kSectionLumaraList, kColumnWidths[k]).value);
    return list;
}

void RestoreMainGeometry(CEventView& view, IProfile& profile)
{
    SavedGeometry saved;
    if (!ReadWindowGeometry(profile, kListWindowGeometry, saved)) return;
    view.m_list.m_windowRect = RectOf(saved.rect);
    view.m_list.m_windowMinimized = saved.minimized;
    PlaceWindow(view.m_hWnd, BoxOf(saved.rect));
    if (saved.minimized) ShowWindow(view.m_hWnd, SW_MINIMIZE);
}

// Without a list control there are no widths to keep: the saved ones stay.
void SaveMainSettings(const CEventView& view, IProfile& profile)
{
    if (view.m_list.m_hList)
        for (int k = 0; k < kColumnCount; ++k)
            WriteProfileInt(profile, kSectionLumaraList, kColumnWidths[k].key, ListView_GetColumnWidth(view.m_list.m_hList, k));
    if (!view.m_list.m_windowRectValid) return;
    WriteWindowGeometry(profile, kListWindowGeometry, {ScreenRectOf(view.m_list.m_windowRect), view.m_list.m_windowMinimized});
}

// The store is copied under the lock and written after it.
void SaveEventCacheNow(CEventView& view)
{
    std::vector<uint8_t> image;
    bool built = false;
    {
        PluginLockGuard guard(view.m_lock);
        if (view.m_pParser) built = BuildEventCacheImage(view.m_pParser->store, image);
    }
    if (built) WriteDataFile(view.m_datPath, image.data(), image.size());
}

}  // namespace

BOOL CEventView::OnInitDialog(HWND hwnd)
{
    m_hWnd = hwnd;
    BuildDataFilePaths(*this);
    CPrivateProfile profile(m_iniPath);
    HMENU systemMenu = GetSystemMenu(hwnd, FALSE);
    InsertBeforeClose(systemMenu, kCmdClearProgrammes, kMenuClearProgrammes);
    InsertBeforeClose(systemMenu, 0, nullptr);
    InsertBeforeClose(systemMenu, kCmdSettings, kMenuSettings);
    SetUpUpdateDialog(*this, profile, systemMenu);
    InsertBeforeClose(systemMenu, 0, nullptr);
    SetUpDetailsPopup(*this, profile);
    InitListViewClasses();
    LoadDataFiles(*this);
    m_list.m_hList = CreateListControl(*this, profile);
    RestoreMainGeometry(*this, profile);
    m_list.m_hSdBitmap = LoadBitmapA(m_hInstance, kSdBitmapName);
    m_list.m_hHdBitmap = LoadBitmapA(m_hInstance, kHdBitmapName);
    Trace("Bitmap = %x,%x\r\n", m_list.m_hSdBitmap, m_list.m_hHdBitmap);
    m_list.m_clockTimer = SetTimer(hwnd, kClockTimerId, kClockTimerPeriodMs, nullptr);
    return TRUE;
}

void CEventView::OnDestroy()
{
    DestroyDetailsPopup(*this);
    DestroyUpdateDialog(*this);
    SaveChangeLog(m_changeLog, m_updPath);
    ClearRows(m_list.m_rows);
    SaveEventCacheNow(*this);
    KillTuneTimer();
    if (m_list.m_clockTimer) KillTimer(m_hWnd, m_list.m_clockTimer);
    m_list.m_clockTimer = 0;
    if (m_list.m_hSdBitmap) DeleteObject(m_list.m_hSdBitmap);
    if (m_list.m_hHdBitmap) DeleteObject(m_list.m_hHdBitmap);
    m_list.m_hSdBitmap = m_list.m_hHdBitmap = nullptr;
    CPrivateProfile profile(m_iniPath);
    SaveMainSettings(*this, profile);
    if (m_list.m_hList) DestroyWindow(m_list.m_hList);
    m_list.m_hList = nullptr;
    ReleaseParser();
}
