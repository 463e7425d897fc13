// The main list window (dialog 101): the list of services with their programmes now and
// next, its one-second tick, its commands and menus. The object owns the window's state and
// its two companions, the details popup and the update-information dialog; the plug-in owns
// the object and reaches it for the work a stream change leaves. The window reaches the
// object through its user data; the handlers live beside list_window.cpp, one concern each.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "changelog/win32/update_dialog.h"
#include "ui/dialogs/win32/details_popup.h"
#include "ui/list/list_items.h"
#include "ui/list/list_row.h"
#include "ui/list/programme_menu.h"
#include "ui/win32/main_window.h"

class IPluginServices;
class IProfile;

class CListWindow final : public IMainWindow {
public:
    explicit CListWindow(IPluginServices& plugin) : m_plugin(plugin) {}
    ~CListWindow() { ClearRows(m_rows); }
    CListWindow(const CListWindow&) = delete;
    CListWindow& operator=(const CListWindow&) = delete;

    // Creates the window, owned by the host's window, from the plug-in's own resources.
    HWND Create(HWND parent);

    // The work a stream change leaves for the window.
    void RefreshPopupForService(int serviceId);
    void RepaintVisibleItems();

    // What the companion windows ask of the list.
    HWND Window() const override { return m_hWnd; }
    const RowTable& Rows() const override { return m_rows; }
    std::vector<int> ItemRows() const override;
    const std::vector<ListItemTexts>& Items() const override { return m_items; }
    // An item's text in a column, cut to maxChars bytes.
    std::string ListItemText(int item, int column, int maxChars) const;
    bool TuningBusy() override;
    void BuildRows() override;
    void RebuildRowsAtNextTick() override { m_refreshCountdown = 0; }

    // The dialog procedure's way in (ui/win32/dialog_thunk.h).
    INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // list_init.cpp
    BOOL OnInitDialog(HWND hwnd);
    void OnDestroy();
    HWND CreateListControl(IProfile& profile);
    void RestoreMainGeometry(IProfile& profile);
    void SaveMainSettings(IProfile& profile) const;
    // list_window.cpp
    void OnSize();
    void OnTimer(UINT_PTR timerId);
    void RedrawAllItems();
    int ListItemRow(int item) const;
    // list_tick.cpp
    void OnClockTick();
    void SampleGeometry();
    void FollowMainWindow();
    void SaveDirtyStore();
    // list_draw.cpp
    void OnDrawItem(const DRAWITEMSTRUCT& draw);
    // list_commands.cpp
    void OnSysCommand(WPARAM command);
    void OnCommand(WPARAM wParam);
    void OnClose();
    void OnNotify(const NMHDR& header);
    void ClearProgrammes();
    // The host or the remote-control application is recording: no tuning.
    bool IsRecording();
    // WM_COMMAND 2100 + r.
    void TuneToRow(int r);
    // programme_menu_win32.cpp
    void ShowProgrammeMenu(int item);

    IPluginServices& m_plugin;
    HWND m_hWnd = nullptr;
    HWND m_hList = nullptr;
    UINT_PTR m_clockTimer = 0;
    int m_refreshCountdown = 0;
    int m_windowRectValid = 0;
    RECT m_windowRect = {};
    int m_windowMinimized = 0;
    HWND m_hRemoteWnd = nullptr;
    int m_secondTicks = 0;
    char m_menuTexts[kMenuTextCount][kMenuTextChars] = {};
    char m_menuTitle[kMenuTitleBytes] = {};
    HBITMAP m_hSdBitmap = nullptr;
    HBITMAP m_hHdBitmap = nullptr;
    // What the list control shows, item by item: its items are drawn, read and clicked
    // from here, never read back from the control.
    std::vector<ListItemTexts> m_items;
    // Owned rows; freed with the window, or with the object when the window never was.
    RowTable m_rows = {};
    CDetailsPopup m_popup{m_plugin, *this};
    CUpdateDialog m_update{m_plugin, *this};
};
