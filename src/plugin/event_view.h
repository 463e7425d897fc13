// CEventView: the one plug-in object the host holds. It owns the parser with the programme
// store, the lock, the change log, the paths of the files it keeps, the host and the tuning
// request, and the main window's object, which owns the other windows. The windows reach
// this object only through IPluginServices.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "changelog/change_log.h"
#include "plugin/idtv_host.h"
#include "plugin/idtv_plugin.h"
#include "store/service_entry.h"
#include "ui/list/plugin_lock.h"
#include "ui/list/stream_change.h"
#include "ui/list/tune_request.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/plugin_services.h"

struct StreamParser;

constexpr int kPathChars = 256;

// The service id of the last stream change processed to the end; shared by the module.
extern int g_lastServiceId;

class CEventView final : public IDTVPlugin, private IPluginServices, private ITuneHost {
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

private:
    // IPluginServices (plugin_services.cpp), on the window's thread.
    HINSTANCE Instance() const override { return m_hInstance; }
    HWND HostWindow() const override { return m_hParent; }
    const char* SettingsPath() const override { return m_iniPath; }
    void MainWindowInitialised(HWND window) override;
    void LoadDataFiles() override;
    void SaveDataFiles() override;
    // Frees the parser and the store; slot 3 and slot 4 do nothing afterwards.
    void ReleaseParser() override;
    void MainWindowGone() override;
    bool ReadLocked(const LockedRead& read) override;
    bool BuildWithServiceSettings(const LockedSettingsBuild& build) override;
    int CurrentServiceId() override;
    void ClearProgrammeData() override;
    bool BeginClockTick(int& refreshCountdown, int localSecond, ClockTickStart& start) override;
    bool SaveDirtyStore(std::vector<uint16_t>& changedServices) override;
    const ChangeLog& Changes() const override { return m_changeLog; }
    void ClearShownChanges(int shown) override;
    void TuneToRow(const RowTable& rows, int r, bool recording) override;
    void OnTuneTimer() override;
    bool TuneTimerRunning() const override { return m_tuneTimer != 0; }
    void ApplyStreamChangeWork(unsigned work, int serviceId) override;

    // ITuneHost (plugin_services.cpp): the host's calls and timer 1002 on the main window, as
    // the tuning request's decisions need them.
    void SelectChannel(int channel) override;
    void ChangeServiceID(int serviceId) override;
    void StartTuneTimer(unsigned periodMs) override;
    void KillTuneTimer() override;

    void BuildDataFilePaths();
    void SaveEventCacheNow();

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

    // Serialises the parser, the store and the tuning fields between the host's capture
    // thread and the window's thread.
    PluginLock m_lock;

    ChangeLog m_changeLog;  // window thread only
    CTuneRequest m_tuning{TuneFields{m_pendingChannel, m_pendingServiceId, m_tuneTimer, m_tuneTicks,
                                     m_currentChannel, m_currentServiceId}};

    // The main window and, through it, its companions; on the window's thread.
    CListWindow m_list{*this};
};

// The one plug-in object of the process, set when its main window initialises and cleared
// when that window is gone.
extern CEventView* g_eventView;
