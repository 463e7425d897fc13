// What CEventView does for its windows (IPluginServices): the data files, the store and the
// change log read and changed under the lock, the tuning request. Files are read and written,
// and the host is called, with the lock released.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log_file.h"
#include "changelog/update_view.h"
#include "plugin/event_view.h"
#include "res/window_ids.h"
#include "settings/data_file_path.h"
#include "settings/win32/private_profile.h"
#include "store/data_file.h"
#include "store/event_cache.h"
#include "store/programme_store.h"
#include "ts/stream_parser.h"
#include "ui/list/clock_tick.h"
#include "ui/list/service_settings.h"

void CEventView::BuildDataFilePaths()
{
    char exePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    // A name cut at MAX_PATH would point elsewhere: keep no path at all then.
    if (length == 0 || length >= MAX_PATH) return;
    BuildDataFilePath(exePath, kSettingsFileExtension, m_iniPath, kPathChars);
    BuildDataFilePath(exePath, kEventCacheFileExtension, m_datPath, kPathChars);
    BuildDataFilePath(exePath, kChangeLogFileExtension, m_updPath, kPathChars);
}

void CEventView::MainWindowInitialised(HWND window)
{
    g_eventView = this;
    m_hWnd = window;
    BuildDataFilePaths();
}

// The object may be deleted right after its window.
void CEventView::MainWindowGone() { g_eventView = nullptr; }

// The event cache, then the change log. The files are read with the lock released (the
// change log is the window thread's alone); only the move of the loaded store into the
// parser holds it.
void CEventView::LoadDataFiles()
{
    std::unique_ptr<ProgrammeStore> loaded(new (std::nothrow) ProgrammeStore());
    if (loaded && LoadEventCache(*loaded, m_datPath)) {
        PluginLockGuard guard(m_lock);
        if (m_pParser) MoveLoadedCache(*loaded, *m_pParser);
    }
    LoadChangeLog(m_changeLog, m_updPath);
}

// The store is copied under the lock and written after it.
void CEventView::SaveEventCacheNow()
{
    std::vector<uint8_t> image;
    bool built = false;
    {
        PluginLockGuard guard(m_lock);
        if (m_pParser) built = BuildEventCacheImage(m_pParser->store, image);
    }
    if (built) WriteDataFile(m_datPath, image.data(), image.size());
}

void CEventView::SaveDataFiles()
{
    SaveChangeLog(m_changeLog, m_updPath);
    SaveEventCacheNow();
    KillTuneTimer();
}

void CEventView::ReleaseParser()
{
    PluginLockGuard guard(m_lock);
    if (!m_pParser) return;
    m_pParser->suspended = 1;
    delete m_pParser;  // with every service entry and section buffer
    m_pParser = nullptr;
}

bool CEventView::ReadLocked(const LockedRead& read)
{
    PluginLockGuard guard(m_lock);
    if (!m_pParser) return false;
    read({*m_pParser, m_currentServiceId, m_tuning.InProgress()});
    return true;
}

bool CEventView::BuildWithServiceSettings(const LockedSettingsBuild& build)
{
    CPrivateProfile profile(m_iniPath);
    return ::BuildWithServiceSettings(m_lock, m_pParser, profile,
                                      [&](const StreamParser& parser, const ServiceSettings& settings) {
                                          build({parser, m_currentServiceId, m_tuning.InProgress()}, settings);
                                      });
}

int CEventView::CurrentServiceId()
{
    PluginLockGuard guard(m_lock);
    return m_currentServiceId;
}

void CEventView::ClearProgrammeData()
{
    PluginLockGuard guard(m_lock);
    if (m_pParser) ::ClearProgrammeData(*m_pParser);
}

bool CEventView::BeginClockTick(int& refreshCountdown, int localSecond, ClockTickStart& start)
{
    PluginLockGuard guard(m_lock);
    if (!m_pParser) return false;
    start = ::BeginClockTick(*m_pParser, refreshCountdown, localSecond);
    return true;
}

bool CEventView::SaveDirtyStore(std::vector<uint16_t>& changedServices)
{
    bool saveCache = false;
    std::vector<uint8_t> cacheImage;
    bool changesFound = false;
    {
        PluginLockGuard guard(m_lock);
        if (!m_pParser || !m_pParser->store.dirty) return false;
        saveCache = BuildEventCacheImage(m_pParser->store, cacheImage);
        m_pParser->store.dirty = 0;
        changesFound = DetectScheduleChanges(m_pParser->store, m_changeLog, nullptr, &changedServices);
    }
    if (saveCache) WriteDataFile(m_datPath, cacheImage.data(), cacheImage.size());
    if (!changesFound) return false;
    SaveChangeLog(m_changeLog, m_updPath);
    return true;
}

void CEventView::ClearShownChanges(int shown) { ::ClearShownChanges(m_changeLog, shown); }

// The decisions change the request under the lock; the host is called after it is released.
void CEventView::TuneToRow(const RowTable& rows, int r, bool recording)
{
    TuneActions actions;
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.OnTuneCommand(rows, r, recording);
    }
    ApplyTuneActions(actions, *this);
}

void CEventView::OnTuneTimer()
{
    TuneActions actions;
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.OnTuneTimer();
    }
    ApplyTuneActions(actions, *this);
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.AfterServiceRequest();
    }
    ApplyTuneActions(actions, *this);
}

// Unconditional: the tuning request zeroes m_tuneTimer before asking for the kill.
void CEventView::KillTuneTimer()
{
    if (m_hWnd) KillTimer(m_hWnd, kTuneTimerId);
    m_tuneTimer = 0;
}

void CEventView::SelectChannel(int channel)
{
    if (m_pHost) m_pHost->SelectChannel(channel);
}

void CEventView::ChangeServiceID(int serviceId)
{
    if (m_pHost) m_pHost->ChangeServiceID(serviceId);
}

void CEventView::StartTuneTimer(unsigned periodMs) { m_tuneTimer = SetTimer(m_hWnd, kTuneTimerId, periodMs, nullptr); }
