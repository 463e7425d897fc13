// The main window's one-second heartbeat (timer 1000) and the rebuild of its rows: compute in
// the core, apply here. The store work runs under the plug-in lock; the settings are read
// before it is taken, and files are written, the host and other windows reached, only after
// it is released.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log_file.h"
#include "changelog/win32/update_dialog.h"
#include "geometry/window_geometry.h"
#include "plugin/event_view.h"
#include "settings/win32/private_profile.h"
#include "store/data_file.h"
#include "store/event_cache.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/popup_state.h"
#include "ui/dialogs/win32/details_popup.h"
#include "ui/list/build_rows.h"
#include "ui/list/clock_tick.h"
#include "ui/list/companion_windows.h"
#include "ui/list/list_items.h"
#include "ui/list/local_clock.h"
#include "ui/list/service_settings.h"
#include "ui/win32/list_view.h"
#include "ui/win32/window_place.h"
#include "res/window_ids.h"

namespace {

// Without the host's tray window the close command could never be answered.
void DropCloseWithoutTray(HWND window)
{
    if (FindWindowA(kTrayWindowClass, nullptr)) return;
    DeleteMenu(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

void SampleGeometry(CEventView& view)
{
    const bool minimized = (GetWindowLongA(view.m_hWnd, GWL_STYLE) & WS_MINIMIZE) != 0;
    const SavedGeometry sample = SampleListGeometry(
        {ScreenRectOf(view.m_list.m_windowRect), view.m_list.m_windowMinimized}, minimized, WindowRectOf(view.m_hWnd));
    view.m_list.m_windowRectValid = 1;
    view.m_list.m_windowRect = RectOf(sample.rect);
    view.m_list.m_windowMinimized = sample.minimized;
}

CompanionWindow CompanionOf(HWND window, int kept)
{
    return {window != nullptr, window && IsWindowVisible(window), kept != 0};
}

void ApplyChange(HWND window, WindowChange change)
{
    if (change == WindowChange::Show) ShowWindow(window, SW_SHOWNA);
    if (change == WindowChange::Hide) ShowWindow(window, SW_HIDE);
}

void FollowMainWindow(CEventView& view)
{
    const bool mainVisible = IsWindowVisible(view.m_hWnd) != 0;
    const HWND update = UpdateDialogWindow(view);
    const HWND popup = DetailsPopupWindow(view);
    ApplyChange(update, CompanionChange(mainVisible, CompanionOf(update, UpdateDialogKeptOpen(view))));
    ApplyChange(popup, CompanionChange(mainVisible, CompanionOf(popup, DetailsPopupPinned(view))));
}

// What a dirty store leaves to do once the lock is released.
struct StoreSaveWork {
    bool saveCache = false;
    std::vector<uint8_t> cacheImage;
    bool changesFound = false;
    std::vector<uint16_t> changedServices;
};

}  // namespace

void CEventView::OnClockTick()
{
    ClockTickStart start;
    {
        PluginLockGuard guard(m_lock);
        if (!m_pParser) return;
        start = BeginClockTick(*m_pParser, m_list.m_refreshCountdown, LocalClockOf(SystemNow()).second);
    }
    if (++m_list.m_secondTicks == kCloseRemovalTick) DropCloseWithoutTray(m_hWnd);
    SampleGeometry(*this);
    FollowMainWindow(*this);
    if (start.rebuildRows) {
        BuildRows();
        SaveDirtyStore();
    }
    int currentServiceId;
    {
        PluginLockGuard guard(m_lock);
        currentServiceId = m_currentServiceId;
    }
    const BoundaryCheck check = CheckProgrammeBoundaries(m_list.m_rows, currentServiceId, SystemNow());
    if (check.redrawAll) RedrawAllItems();
    if (check.rebuildRows) {
        BuildRows();
        RefreshPopupForService(currentServiceId);
    }
}

void CEventView::SaveDirtyStore()
{
    StoreSaveWork work;
    {
        PluginLockGuard guard(m_lock);
        if (!m_pParser || !m_pParser->store.dirty) return;
        work.saveCache = BuildEventCacheImage(m_pParser->store, work.cacheImage);
        m_pParser->store.dirty = 0;
        work.changesFound = DetectScheduleChanges(m_pParser->store, m_changeLog, nullptr, &work.changedServices);
    }
    if (work.saveCache) WriteDataFile(m_datPath, work.cacheImage.data(), work.cacheImage.size());
    if (!work.changesFound) return;
    SaveChangeLog(m_changeLog, m_updPath);
    MarkChangedRows(m_list.m_rows, work.changedServices);
    RefreshUpdateDialogIfShown(*this);
    RedrawAllItems();
}

void CEventView::BuildRows()
{
    if (!m_list.m_hList) return;
    CPrivateProfile profile(m_iniPath);
    int currentServiceId = -1;
    const bool built = BuildWithServiceSettings(
        m_lock, m_pParser, profile, [&](const StreamParser& parser, const ServiceSettings& settings) {
            ::BuildRows(m_list.m_rows, parser.store, settings, m_changeLog, RowReferenceTime(parser, SystemNow()));
            currentServiceId = m_currentServiceId;
        });
    if (!built) return;
    const ListUpdate update = DecideListItems(m_list.m_rows, ListView_GetItemCount(m_list.m_hList));
    // The model follows the control step by step: the surplus goes when its items do.
    std::vector<ListItemTexts>& shown = m_list.m_items;
    if (shown.size() < update.items.size()) shown.resize(update.items.size());
    std::copy(update.items.begin(), update.items.end(), shown.begin());
    WriteListItems(m_list.m_hList, update);
    if (update.refreshPopup) RefreshPopupForService(currentServiceId);
    DeleteSurplusItems(m_list.m_hList, update);
    shown.resize(update.items.size());
}

void CEventView::RefreshPopupForService(int serviceId)
{
    if (!DetailsPopupWindow(*this)) return;
    const std::vector<int> itemRows = ItemRows();
    const PopupFollow follow =
        PopupFollowRow(m_list.m_rows, itemRows.data(), static_cast<int>(itemRows.size()), serviceId);
    if (follow.row < 0) return;
    if (follow.item >= 0)
        ShowProgrammeDetails(*this, 1, follow.row, follow.item, 0, nullptr, nullptr);
    else
        ShowProgrammeDetails(*this, 1, follow.row, 0, 0, m_list.m_rows[follow.row]->present.title,
                             m_list.m_rows[follow.row]->serviceName);
}
