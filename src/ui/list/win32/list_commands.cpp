// The main window's commands: the system-menu entries, the tune command, the close
// notification to the host's tray window, clicks on the list, and the recording guard.
#include <windows.h>

#include <commctrl.h>

#include "ts/diagnostics.h"
#include "ui/dialogs/win32/settings_dialog.h"
#include "ui/list/list_click.h"
#include "ui/list/programme_menu.h"
#include "ui/list/recording_guard.h"
#include "ui/list/tune_request.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/plugin_services.h"
#include "res/window_ids.h"

namespace {

bool ControlDisabled(HWND window, int controlId)
{
    const HWND control = GetDlgItem(window, controlId);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_DISABLED);
}

}  // namespace

void CListWindow::ClearProgrammes()
{
    if (MessageBoxA(m_hWnd, kClearQuestion, kMainCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    m_plugin.ClearProgrammeData();
}

void CListWindow::OnSysCommand(WPARAM command)
{
    switch (command) {
    case kCmdClearProgrammes: ClearProgrammes(); break;
    case kCmdSettings: {
        DebugOutput(kSettingsDebugLine);
        CSettingsDialog settings(m_plugin, *this);
        settings.Run();
        break;
    }
    case kShowUpdatesCommand: m_update.Open(); break;
    default: break;
    }
}

void CListWindow::OnCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const MainCommand command = DecideMainCommand(id);
    if (command.kind == MainCommandKind::TuneRow) {
        TuneToRow(command.row);
    } else if (command.kind == MainCommandKind::ShowUpdates) {
        Trace("WM_Command(%d)\r\n", id);
        m_update.Open();
    }
}

// The window stays; what closing means is up to the host's tray window.
void CListWindow::OnClose()
{
    const HWND tray = FindWindowA(kTrayWindowClass, nullptr);
    if (tray) SendMessageA(tray, WM_COMMAND, kTrayCloseCommand, reinterpret_cast<LPARAM>(m_hWnd));
}

void CListWindow::OnNotify(const NMHDR& header)
{
    if (!m_hList || header.hwndFrom != m_hList) return;
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
    case ListClickAction::HidePopup: m_popup.HidePopup(); break;
    case ListClickAction::ShowDetails:
        m_popup.ShowProgrammeDetails(activate.iSubItem, r, item, true);
        break;
    case ListClickAction::None: break;
    }
}

bool CListWindow::IsRecording()
{
    const HWND host = m_plugin.HostWindow();
    if (host) {
        char hostText[kHostRecordingTextChars + 1] = {};
        GetDlgItemTextA(host, kHostRecordingControlId, hostText, sizeof hostText);
        if (RecordingFromControls(hostText, false)) return true;
    }
    // Searched again on every call until found; a found window is kept.
    if (!m_hRemoteWnd) m_hRemoteWnd = FindWindowA(nullptr, kRemoteWindowTitle);
    return RecordingFromControls(nullptr, m_hRemoteWnd && ControlDisabled(m_hRemoteWnd, kRemoteRecordingControlId));
}

bool CListWindow::TuningBusy()
{
    return ::TuningBusy(m_plugin.TuneTimerRunning(), [this] { return IsRecording(); });
}

// The decisions change the request under the lock; the host is called after it is released.
void CListWindow::TuneToRow(int r) { m_plugin.TuneToRow(m_rows, r, IsRecording()); }
