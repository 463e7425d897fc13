// The plug-in object as its windows see it (CEventView implements it). The windows keep no
// plug-in data of their own: they read and change it through these calls, all made on the
// main window's thread. Whatever the plug-in lock guards is reached only through a call that
// takes the lock itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/list/list_row.h"

class ChangeLog;
class ServiceSettings;
struct ClockTickStart;
struct StreamParser;

// Posted by a stream change on another thread to the main window; wParam: its
// StreamChangeWork bits, lParam: the service id.
constexpr UINT kMsgStreamChangeWork = WM_APP + 1;

// What the plug-in lock guards, as a reader holding it sees it.
struct LockedView {
    const StreamParser& parser;
    int currentServiceId;
    bool tuningInProgress;
};
using LockedRead = std::function<void(const LockedView& locked)>;
using LockedSettingsBuild = std::function<void(const LockedView& locked, const ServiceSettings& settings)>;

class IPluginServices {
public:
    // Dialogs and bitmaps are loaded from this module.
    virtual HINSTANCE Instance() const = 0;
    // The host's window the plug-in's window was created in.
    virtual HWND HostWindow() const = 0;
    // Our settings file; empty when the host's path was too long.
    virtual const char* SettingsPath() const = 0;

    // The main window's life: WM_INITDIALOG (the data file paths are built), the load of the
    // event cache and the change log, WM_DESTROY (both saved, the tuning timer stopped; then,
    // last, the parser released) and WM_NCDESTROY.
    virtual void MainWindowInitialised(HWND window) = 0;
    virtual void LoadDataFiles() = 0;
    virtual void SaveDataFiles() = 0;
    virtual void ReleaseParser() = 0;
    virtual void MainWindowGone() = 0;

    // Runs read with the lock held; false, without running it, once the parser is gone.
    virtual bool ReadLocked(const LockedRead& read) = 0;
    // The same with every stored service's list settings read ahead, without the lock.
    virtual bool BuildWithServiceSettings(const LockedSettingsBuild& build) = 0;
    virtual int CurrentServiceId() = 0;
    // The system menu's "clear programme data".
    virtual void ClearProgrammeData() = 0;
    // The clock tick's first step; false once the parser is gone.
    virtual bool BeginClockTick(int& refreshCountdown, int localSecond, ClockTickStart& start) = 0;
    // A store changed since the last save: the event cache is written and the changes are
    // detected and logged. True when changes were recorded, for these services.
    virtual bool SaveDirtyStore(std::vector<uint16_t>& changedServices) = 0;

    // The change log (window thread only) and "クリア" of the shown part of it.
    virtual const ChangeLog& Changes() const = 0;
    virtual void ClearShownChanges(int shown) = 0;

    // The tuning request: WM_COMMAND 2100 + r, the tuning timer's tick, and whether it runs.
    virtual void TuneToRow(const RowTable& rows, int r, bool recording) = 0;
    virtual void OnTuneTimer() = 0;
    virtual bool TuneTimerRunning() const = 0;
    // Work a stream change left for the window's thread (kMsgStreamChangeWork).
    virtual void ApplyStreamChangeWork(unsigned work, int serviceId) = 0;

protected:
    ~IPluginServices() = default;
};
