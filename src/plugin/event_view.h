// CEventView: the one plug-in object the host holds. It owns the parser with the
// programme store, the windows and their state, and the paths of the files it keeps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "changelog/change_log.h"
#include "plugin/idtv_host.h"
#include "plugin/idtv_plugin.h"
#include "plugin/window_state.h"
#include "store/service_entry.h"
#include "ui/list/plugin_lock.h"
#include "ui/list/stream_change.h"
#include "ui/list/tune_request.h"

struct StreamParser;
class CEventView;

// The host calls and the tune timer as the tuning request's decisions need them.
class CEventViewTuneHost final : public ITuneHost {
public:
    explicit CEventViewTuneHost(CEventView& view) : m_view(view) {}
    void SelectChannel(int channel) override;
    void ChangeServiceID(int serviceId) override;
    void StartTuneTimer(unsigned periodMs) override;
    void KillTuneTimer() override;

private:
    CEventView& m_view;
};

constexpr int kPathChars = 256;
constexpr UINT kMsgStreamChangeWork = WM_APP + 1;  // wParam: StreamChangeWork, lParam: service id

// The service id of the last stream change processed to the end; shared by the module.
extern int g_lastServiceId;

class CEventView final : public IDTVPlugin {
public:
    explicit CEventView(HINSTANCE instance);
    ~CEventView();
    CEventView(const CEventView&) = delete;
    CEventView& operator=(const CEventView&) = delete;

    IDTVPlugin* __attribute__((thiscall)) DeletingDestructor(uint32_t flags) override;
    int __stdcall Initialise(IDTVHost* host, uint32_t sdkVersion) override;
    int __stdcall CreatePluginWindow(HWND parent) override;
    int __stdcall TakeStreamData(const uint8_t* data, uint32_t size) override;
    int __stdcall ChangeStream(int channel, int serviceId) override;
    int __stdcall Reserved(uint32_t first, uint32_t second) override;

    // The main window (ui/list/win32/), on the window's thread.
    INT_PTR WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog(HWND hwnd);
    void OnSize();
    void OnTimer(UINT_PTR timerId);
    void OnClockTick();
    // A store changed since the last save: the event cache, the change detection and its log.
    void SaveDirtyStore();
    void OnDestroy();
    void OnDrawItem(const DRAWITEMSTRUCT& draw);
    void OnSysCommand(WPARAM command);
    void OnCommand(WPARAM wParam);
    void OnClose();
    void OnNotify(const NMHDR& header);
    void ShowProgrammeMenu(int item);
    // Rebuilds the rows from the store and brings the list's items in line with them.
    void BuildRows();
    void RefreshPopupForService(int serviceId);
    void RedrawAllItems();
    // The host or the remote-control application is recording: no tuning.
    bool IsRecording();
    // WM_COMMAND 2100 + r.
    void TuneToRow(int r);
    void OnTuneTimer();

    // What the other windows ask of the list (ui/list/win32/list_window.cpp).
    const RowTable& Rows() const;
    // The row index (lParam) of every list item, in list order; -1 for no such item.
    std::vector<int> ItemRows() const;
    int ListItemRow(int item) const;
    // A list item's text in a column, cut to maxChars bytes as the control would give it.
    std::string ListItemText(int item, int column, int maxChars) const;
    // "クリア" in the update dialog: the rows are rebuilt at the next clock tick.
    void RebuildRowsAtNextTick();
    void RepaintVisibleItems();

    // Stream-change work (event_view.cpp), on the window's thread.
    void ApplyStreamChangeWork(unsigned work, int serviceId);
    void KillTuneTimer();
    // Frees the parser and the store; slot 3 and slot 4 do nothing afterwards.
    void ReleaseParser();

    HWND m_hWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    IDTVHost* m_pHost = nullptr;
    StreamParser* m_pParser = nullptr;  // guarded by m_lock
    int m_currentServiceId = -1;        // guarded by m_lock
    int m_currentChannel = -1;          // guarded by m_lock
    char m_iniPath[kPathChars] = {};
    char m_datPath[kPathChars] = {};
    char m_updPath[kPathChars] = {};
    int m_pendingChannel = 0;    // guarded by m_lock
    int m_pendingServiceId = 0;  // guarded by m_lock
    HWND m_hParent = nullptr;
    UINT_PTR m_tuneTimer = 0;  // window thread only
    int m_tuneTicks = 0;       // window thread only
    // Used by the stream change alone; the host does not overlap its stream-change calls.
    HostServiceRecord m_hostServices[kHostServiceCapacity] = {};
    int m_hostServiceCount = 0;

    // Each window's own state, on the window's thread.
    ListWindowState m_list;
    PopupWindowState m_popup;
    UpdateDialogState m_update;

    // Serialises the parser, the store and the tuning fields between the host's capture
    // thread and the window's thread.
    PluginLock m_lock;

    ChangeLog m_changeLog;  // window thread only
    CTuneRequest m_tuning{TuneFields{m_pendingChannel, m_pendingServiceId, m_tuneTimer, m_tuneTicks,
                                     m_currentChannel, m_currentServiceId}};
    CEventViewTuneHost m_tuneHost{*this};
};

// The main window's dialog procedure. Windows reach the one object through this pointer,
// set when the main window initialises.
INT_PTR CALLBACK MainDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
extern CEventView* g_eventView;
