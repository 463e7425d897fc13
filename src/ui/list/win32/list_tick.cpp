// The main window's one-second heartbeat (timer 1000) and the rebuild of its rows: compute in
// the core, apply here. The store work runs in the plug-in under its lock; the settings are
// read before it is taken, and files are written, the host and other windows reached, only
// after it is released.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "changelog/change_detection.h"
#include "geometry/window_geometry.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/popup_state.h"
#include "ui/list/build_rows.h"
#include "ui/list/clock_tick.h"
#include "ui/list/companion_windows.h"
#include "ui/list/list_items.h"
#include "ui/list/local_clock.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/list_view.h"
#include "ui/win32/plugin_services.h"
#include "ui/win32/window_place.h"
#include "res/window_ids.h"

namespace {

// Without the host's tray window the close command could never be answered.
void DropCloseWithoutTray(HWND window)
{
    if (FindWindowA(kTrayWindowClass, nullptr)) return;
    DeleteMenu(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

CompanionWindow CompanionOf(HWND window, bool pinned)
{
    return {window != nullptr, window && IsWindowVisible(window), pinned};
}

void ApplyChange(HWND window, WindowChange change)
{
    if (change == WindowChange::Show) ShowWindow(window, SW_SHOWNA);
    if (change == WindowChange::Hide) ShowWindow(window, SW_HIDE);
}

}  // namespace

void CListWindow::SampleGeometry()
{
    const bool minimized = (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_MINIMIZE) != 0;
    const SavedGeometry sample =
        SampleListGeometry({ScreenRectOf(m_windowRect), m_windowMinimized}, minimized, WindowRectOf(m_hWnd));
    m_windowRectValid = 1;
    m_windowRect = RectOf(sample.rect);
    m_windowMinimized = sample.minimized;
}

void CListWindow::FollowMainWindow()
{
    const bool mainVisible = IsWindowVisible(m_hWnd) != 0;
    const HWND update = m_update.Window();
    const HWND popup = m_popup.Window();
    ApplyChange(update, CompanionChange(mainVisible, CompanionOf(update, m_update.Pinned())));
    ApplyChange(popup, CompanionChange(mainVisible, CompanionOf(popup, m_popup.Pinned())));
}

void CListWindow::OnClockTick()
{
    ClockTickStart start;
    if (!m_plugin.BeginClockTick(m_refreshCountdown, LocalClockOf(SystemNow()).second, start)) return;
    if (CloseRemovalDue(m_secondTicks)) DropCloseWithoutTray(m_hWnd);
    SampleGeometry();
    FollowMainWindow();
    if (start.rebuildRows) {
        BuildRows();
        SaveDirtyStore();
    }
    const int currentServiceId = m_plugin.CurrentServiceId();
    const BoundaryCheck check = CheckProgrammeBoundaries(m_rows, currentServiceId, SystemNow());
    if (check.redrawAll) RedrawAllItems();
    if (check.rebuildRows) {
        BuildRows();
        RefreshPopupForService(currentServiceId);
    }
}

void CListWindow::SaveDirtyStore()
{
    std::vector<uint16_t> changedServices;
    if (!m_plugin.SaveDirtyStore(changedServices)) return;
    MarkChangedRows(m_rows, changedServices);
    m_update.RefreshIfShown();
    RedrawAllItems();
}

void CListWindow::BuildRows()
{
    if (!m_hList) return;
    int currentServiceId = -1;
    const bool built =
        m_plugin.BuildWithServiceSettings([&](const LockedView& locked, const ServiceSettings& settings) {
            ::BuildRows(m_rows, locked.parser.store, settings, m_plugin.Changes(),
                        RowReferenceTime(locked.parser, SystemNow()));
            currentServiceId = locked.currentServiceId;
        });
    if (!built) return;
    ListUpdate update = DecideListItems(m_rows, ListView_GetItemCount(m_hList));
    m_items = ItemsBeforeDelete(m_items, update);
    WriteListItems(m_hList, update);
    if (update.refreshPopup) RefreshPopupForService(currentServiceId);
    DeleteSurplusItems(m_hList, update);
    m_items = std::move(update.items);
}

void CListWindow::RefreshPopupForService(int serviceId)
{
    if (!m_popup.Window()) return;
    const std::vector<int> itemRows = ItemRows();
    const PopupFollow follow = PopupFollowRow(m_rows, itemRows.data(), static_cast<int>(itemRows.size()), serviceId);
    if (follow.row >= 0) m_popup.ShowProgrammeDetails(kNowColumn, follow.row, follow.item, false);
}
