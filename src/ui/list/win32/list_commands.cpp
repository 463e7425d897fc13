// The main window's commands: the system-menu entries, the tune command and its timer, the
// close notification to the host's tray window, clicks on the list, and the recording guard.
#include <windows.h>

#include <commctrl.h>

#include "plugin/event_view.h"
#include "store/programme_store.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"
#include "changelog/win32/update_dialog.h"
#include "ui/dialogs/win32/details_popup.h"
#include "ui/dialogs/win32/settings_dialog.h"
#include "ui/list/list_click.h"
#include "ui/list/programme_menu.h"
#include "ui/list/recording_guard.h"
#include "ui/win32/list_view.h"
#include "res/window_ids.h"

namespace {

void ClearProgrammes(CEventView& view)
{
    if (MessageBoxA(view.m_hWnd, kClearQuestion, kMainCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    PluginLockGuard guard(view.m_lock);
    if (view.m_pParser) ClearProgrammeData(*view.m_pParser);
}

bool ControlDisabled(HWND window, int controlId)
{
    const HWND control = GetDlgItem(window, controlId);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_DISABLED);
}

}  // namespace

void CEventView::OnSysCommand(WPARAM command)
{
    switch (command) {
    case kCmdClearProgrammes: ClearProgrammes(*this); break;
    case kCmdSettings:
        DebugOutput(kSettingsDebugLine);
        RunSettingsDialog(*this);
        break;
    case kCmdShowUpdates: OpenUpdateDialog(*this); break;
    default: break;
    }
}

void CEventView::OnCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const MainCommand command = DecideMainCommand(id);
    if (command.kind == MainCommandKind::TuneRow) {
        TuneToRow(command.row);
    } else if (command.kind == MainCommandKind::ShowUpdates) {
        Trace("WM_Command(%d)\r\n", id);
        OpenUpdateDialog(*this);
    }
}

// The window stays; what closing means is up to the host's tray window.
void CEventView::OnClose()
{
    const HWND tray = FindWindowA(kTrayWindowClass, nullptr);
    if (tray) SendMessageA(tray, WM_COMMAND, kTrayCloseCommand, reinterpret_cast<LPARAM>(m_hWnd));
}

void CEventView::OnNotify(const NMHDR& header)
{
    if (!m_list.m_hList || header.hwndFrom != m_list.m_hList) return;
    ListClickKind kind;
    switch (header.code) {
    case NM_CLICK: kind = ListClickKind::Click; break;
    case NM_DBLCLK: kind = ListClickKind::DoubleClick; break;
    case NM_RCLICK: kind = ListClickKind::RightClick; break;
    default: return;
    }
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    const int item = activate.iItem;
    const int r = ListItemRow(item);
    switch (DecideListClick(kind, item, activate.iSubItem, r)) {
    case ListClickAction::ProgrammeMenu: ShowProgrammeMenu(item); break;
    case ListClickAction::Tune: {
        const auto command = DoubleClickCommand(r, IsRecording());
        if (command) PostMessageA(m_hWnd, WM_COMMAND, static_cast<WPARAM>(*command), 0);
        break;
    }
    case ListClickAction::HidePopup: HidePopup(*this); break;
    case ListClickAction::ShowDetails:
        ShowProgrammeDetails(*this, activate.iSubItem, r, item, 1, nullptr, nullptr);
        break;
    case ListClickAction::None: break;
    }
}

bool CEventView::IsRecording()
{
    if (m_hParent) {
        char hostText[kHostRecordingTextChars + 1] = {};
        GetDlgItemTextA(m_hParent, kHostRecordingControlId, hostText, sizeof hostText);
        if (RecordingFromControls(hostText, false)) return true;
    }
    // Searched again on every call until found; a found window is kept.
    if (!m_list.m_hRemoteWnd) m_list.m_hRemoteWnd = FindWindowA(nullptr, kRemoteWindowTitle);
    return RecordingFromControls(nullptr, m_list.m_hRemoteWnd && ControlDisabled(m_list.m_hRemoteWnd, kRemoteRecordingControlId));
}

// The decisions change the request under the lock; the host is called after it is released.
void CEventView::TuneToRow(int r)
{
    const bool recording = IsRecording();
    TuneActions actions;
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.OnTuneCommand(m_list.m_rows, r, recording);
    }
    ApplyTuneActions(actions, m_tuneHost);
}

void CEventView::OnTuneTimer()
{
    TuneActions actions;
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.OnTuneTimer();
    }
    ApplyTuneActions(actions, m_tuneHost);
    {
        PluginLockGuard guard(m_lock);
        actions = m_tuning.AfterServiceRequest();
    }
    ApplyTuneActions(actions, m_tuneHost);
}

void CEventViewTuneHost::SelectChannel(int channel)
{
    if (m_view.m_pHost) m_view.m_pHost->SelectChannel(channel);
}

void CEventViewTuneHost::ChangeServiceID(int serviceId)
{
    if (m_view.m_pHost) m_view.m_pHost->ChangeServiceID(serviceId);
}

void CEventViewTuneHost::StartTuneTimer(unsigned periodMs)
{
    m_view.m_tuneTimer = SetTimer(m_view.m_hWnd, kTuneTimerId, periodMs, nullptr);
}

void CEventViewTuneHost::KillTuneTimer() { m_view.KillTuneTimer(); }
