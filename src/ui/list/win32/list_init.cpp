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
#include "ui/list/win32/list_window_ids.h"

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
    view.m_hUpdateDlg = CreateUpdateDialog(view);
    if (!view.m_hUpdateDlg) return;
    InsertBeforeClose(systemMenu, kCmdShowUpdates, kMenuShowUpdates);
    view.m_updateShown = ReadSetting(profile, kSectionUpdateDialog, kUpdateFixed);
    if (view.m_updateShown)
        PostMessageA(view.m_hUpdateDlg, WM_COMMAND, kCmdUpdateRefresh, 0);
    else
        ShowWindow(view.m_hUpdateDlg, SW_HIDE);
    ApplyDialogGeometry(profile, view.m_hUpdateDlg, kUpdateDialogGeometry);
}

void SetUpDetailsPopup(CEventView& view, IProfile& profile)
{
    view.m_hPopup = CreateDetailsPopup(view);
    if (!view.m_hPopup) return;
    view.m_popupPinned = ReadSetting(profile, kSectionPopDialog, kPopFixed);
    if (!view.m_popupPinned) ShowWindow(view.m_hPopup, SW_HIDE);
    view.m_popupShown = view.m_popupPinned;
    ApplyDialogGeometry(profile, view.m_hPopup, kPopupGeometry);
}

// The files are read with the lock released (the change log is the window thread's alone);
// only the move of the loaded store into the parser holds it.
void LoadDataFiles(CEventView& view)
{
    LoadChangeLog(view.m_changeLog, view.m_updPath);
    std::unique_ptr<ProgrammeStore> loaded(new (std::nothrow) ProgrammeStore());
    if (!loaded || !LoadEventCache(*loaded, view.m_datPath)) return;
    PluginLockGuard guard(view.m_lock);
    if (view.m_pParser) MoveLoadedCache(*loaded, *view.m_pParser);
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
    view.m_windowRect = RectOf(saved.rect);
    view.m_windowMinimized = saved.minimized;
    PlaceWindow(view.m_hWnd, BoxOf(saved.rect));
    if (saved.minimized) ShowWindow(view.m_hWnd, SW_MINIMIZE);
}

void SaveMainSettings(const CEventView& view, IProfile& profile)
{
    for (int k = 0; k < kColumnCount; ++k)
        WriteProfileInt(profile, kSectionLumaraList, kColumnWidths[k].key, ListView_GetColumnWidth(view.m_hList, k));
    if (!view.m_windowRectValid) return;
    WriteWindowGeometry(profile, kListWindowGeometry, {ScreenRectOf(view.m_windowRect), view.m_windowMinimized});
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
    m_hList = CreateListControl(*this, profile);
    RestoreMainGeometry(*this, profile);
    m_hSdBitmap = LoadBitmapA(m_hInstance, kSdBitmapName);
    m_hHdBitmap = LoadBitmapA(m_hInstance, kHdBitmapName);
    Trace("Bitmap = %x,%x\r\n", m_hSdBitmap, m_hHdBitmap);
    m_clockTimer = SetTimer(hwnd, kClockTimerId, kClockTimerPeriodMs, nullptr);
    return TRUE;
}

void CEventView::OnDestroy()
{
    if (m_hPopup) DestroyWindow(m_hPopup);
    m_hPopup = nullptr;
    if (m_hUpdateDlg) DestroyWindow(m_hUpdateDlg);
    m_hUpdateDlg = nullptr;
    SaveChangeLog(m_changeLog, m_updPath);
    ClearRows(m_rows);
    SaveEventCacheNow(*this);
    KillTuneTimer();
    if (m_clockTimer) KillTimer(m_hWnd, m_clockTimer);
    m_clockTimer = 0;
    if (m_hSdBitmap) DeleteObject(m_hSdBitmap);
    if (m_hHdBitmap) DeleteObject(m_hHdBitmap);
    m_hSdBitmap = m_hHdBitmap = nullptr;
    CPrivateProfile profile(m_iniPath);
    if (m_hList) SaveMainSettings(*this, profile);
    if (m_hList) DestroyWindow(m_hList);
    m_hList = nullptr;
    ReleaseParser();
}
