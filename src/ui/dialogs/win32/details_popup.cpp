// The details popup's window: compute in the core (texts, placement, timer and drag
// decisions), apply here.
#include "ui/dialogs/win32/details_popup.h"

#include <windows.h>

#include <string>
#include <vector>

#include "geometry/dialog_layout.h"
#include "res/dialog_ids.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/popup_show.h"
#include "ui/win32/dialog_thunk.h"
#include "ui/win32/main_window.h"
#include "ui/win32/plugin_services.h"
#include "ui/win32/window_place.h"

namespace {

void SetTuneButton(HWND popup, bool visible, const char* text)
{
    const HWND button = GetDlgItem(popup, IDC_POPUP_TUNE);
    ShowWindow(button, visible ? SW_SHOW : SW_HIDE);
    SetWindowTextA(button, text);
}

// Puts the caret at the end of the edit control and replaces the selection with the text.
void AppendPopupText(HWND popup, const std::string& text)
{
    const HWND edit = GetDlgItem(popup, IDC_POPUP_TEXT);
    SendMessageA(edit, EM_SETSEL, 0xFFFF, 0xFFFF);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

ScreenPoint PointerOf(HWND popup, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(popup, &point);
    return {point.x, point.y};
}

void MoveTo(HWND popup, ScreenPoint at)
{
    SetWindowPos(popup, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CDetailsPopup::KillPopupTimer()
{
    if (m_popupTimer && m_hPopup) KillTimer(m_hPopup, m_popupTimer);
    m_popupTimer = 0;
}

// The texts, the tune button, the place, then on screen with the timer restarted.
void CDetailsPopup::ApplyFill(const PopupShowPlan& plan)
{
    const HWND popup = m_hPopup;
    SetTuneButton(popup, plan.tuneButtonVisible, plan.tuneButtonText);
    SetDlgItemTextA(popup, IDC_POPUP_NAME, plan.texts.nameLine.c_str());
    SetDlgItemTextA(popup, IDC_POPUP_TIMES, plan.texts.timesLine.c_str());
    const HWND edit = GetDlgItem(popup, IDC_POPUP_TEXT);
    SetWindowTextA(edit, "");
    ShowWindow(edit, SW_HIDE);
    AppendPopupText(popup, plan.texts.body);
    SendMessageA(edit, WM_VSCROLL, SB_TOP, 0);
    ShowWindow(edit, SW_SHOW);
    if (plan.placement.move)
        SetWindowPos(popup, nullptr, plan.placement.x, plan.placement.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (plan.showWindow) ShowWindow(popup, SW_SHOWNA);
    KillPopupTimer();
    m_popupTimer = SetTimer(popup, IDT_POPUP, kPopupTimerMs, nullptr);
}

void CDetailsPopup::ApplyHide()
{
    ShowWindow(m_hPopup, SW_HIDE);
    KillPopupTimer();
    if (m_owner.Window()) SetFocus(m_owner.Window());
}

void CDetailsPopup::BeginDrag(HWND popup)
{
    RECT window = {};
    GetWindowRect(popup, &window);
    POINT pointer = {};
    GetCursorPos(&pointer);
    m_drag = {window.left, window.top, pointer.x, pointer.y};
    m_dragging = true;
    SetCapture(popup);
}

void CDetailsPopup::OnMouseMove(HWND popup, LPARAM lParam)
{
    if (!m_dragging) return;
    const ScreenPoint pointer = PointerOf(popup, lParam);
    MoveTo(popup, PopupDragMove(*this, m_drag, pointer.x, pointer.y));
}

void CDetailsPopup::OnButtonUp(HWND popup, LPARAM lParam)
{
    if (!m_dragging) return;
    const ScreenPoint pointer = PointerOf(popup, lParam);
    MoveTo(popup, PopupDragTarget(m_drag, pointer.x, pointer.y));
    m_dragging = false;
    ReleaseCapture();
}

// "選局": the first list item whose row shows the popup's service.
void CDetailsPopup::RequestTune() const
{
    const std::vector<int> itemRows = m_owner.ItemRows();
    const int command = PopupTuneCommand(m_owner.Rows(), itemRows.data(), static_cast<int>(itemRows.size()),
                                         m_popupServiceId);
    if (command) PostMessageA(m_owner.Window(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void CDetailsPopup::OnTimer(HWND popup)
{
    POINT pointer = {};
    GetCursorPos(&pointer);
    RECT window = {};
    GetWindowRect(popup, &window);
    const bool hide =
        PopupTimerTick(*this, pointer.x, pointer.y, {window.left, window.top, window.right, window.bottom});
    if (hide) HidePopup();
    const bool busy = m_owner.TuningBusy();
    const TuneButtonChange change = TuneButtonTick(*this, busy, IsWindowVisible(popup) != 0);
    if (change != TuneButtonChange::None) SetTuneButton(popup, change == TuneButtonChange::Show, TuneButtonText(busy));
}

void CDetailsPopup::OnInitDialog(HWND popup)
{
    m_closeButtonSize = WindowSizeOf(GetDlgItem(popup, IDC_POPUP_CLOSE));
    m_tuneButtonSize = WindowSizeOf(GetDlgItem(popup, IDC_POPUP_TUNE));
    if (!m_hBackground) m_hBackground = CreateSolidBrush(kPopupBackground);
    // A window that is neither a pop-up nor a child always gets a caption; take it away.
    SetWindowLongA(popup, GWL_STYLE, GetWindowLongA(popup, GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(popup, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT client = {};
    GetClientRect(popup, &client);
    Layout(popup, client.right, client.bottom);
}

void CDetailsPopup::Layout(HWND popup, int width, int height)
{
    const PopupLayout layout = LayOutPopup(width, height, m_closeButtonSize, m_tuneButtonSize);
    const HWND close = GetDlgItem(popup, IDC_POPUP_CLOSE);
    const HWND tune = GetDlgItem(popup, IDC_POPUP_TUNE);
    const bool tuneShown = TuneButtonAfterLayout(*this, IsWindowVisible(popup) != 0);
    ShowWindow(close, SW_HIDE);
    ShowWindow(tune, SW_HIDE);
    PlaceWindow(close, layout.close, SWP_NOSIZE);
    PlaceWindow(tune, layout.tune, SWP_NOSIZE);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_NAME), layout.name);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_TIMES), layout.times);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_TEXT), layout.text);
    ShowWindow(close, SW_SHOW);
    if (tuneShown) ShowWindow(tune, SW_SHOW);
}

void CDetailsPopup::OnDestroy(HWND popup)
{
    if (m_hBackground) DeleteObject(m_hBackground);
    m_hBackground = nullptr;
    KillPopupTimer();
    m_dragging = false;
    CPrivateProfile profile(m_plugin.SettingsPath());
    WriteWindowGeometry(profile, kPopupGeometry, {WindowRectOf(popup), 0});
    WriteProfileInt(profile, kSectionPopDialog, kPopPinned.key, m_popupPinned);
}

INT_PTR CDetailsPopup::ColourStatic(HWND popup, HDC dc, HWND control) const
{
    const int id = GetDlgCtrlID(control);
    if (GetParent(control) != popup || (id != IDC_POPUP_NAME && id != IDC_POPUP_TIMES && id != IDC_POPUP_TEXT))
        return 0;
    SetBkColor(dc, kPopupBackground);
    return reinterpret_cast<INT_PTR>(m_hBackground);
}

void CDetailsPopup::OnCommand(HWND popup, WPARAM wParam)
{
    if (HIWORD(wParam) != 0) return;
    switch (LOWORD(wParam)) {
    case IDC_POPUP_NAME:
    case IDC_POPUP_TIMES: BeginDrag(popup); break;
    case IDC_POPUP_TUNE: RequestTune(); break;
    case IDC_POPUP_CLOSE:
        if (ClosePopupState(*this, m_hPopup != nullptr)) ApplyHide();
        break;
    default: break;
    }
}

INT_PTR CDetailsPopup::HandleMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(popup);
        return FALSE;  // the keyboard focus stays where it is
    case WM_SIZE: Layout(popup, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_CTLCOLORSTATIC:
        return ColourStatic(popup, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(m_hBackground);
    case WM_COMMAND: OnCommand(popup, wParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(popup, lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(popup, lParam); return 0;
    // Losing the capture some other way ends the drag where it is.
    case WM_CAPTURECHANGED: m_dragging = false; return 0;
    case WM_CLOSE: HidePopup(); return TRUE;
    case WM_TIMER:
        if (wParam == IDT_POPUP) OnTimer(popup);
        return 0;
    case WM_DESTROY: OnDestroy(popup); return 0;
    default: return 0;
    }
}

// The minimum size holds from the window's creation on, before WM_INITDIALOG brings the
// object: it needs none.
INT_PTR CALLBACK CDetailsPopup::DialogProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETMINMAXINFO) {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMinTrackSize = {kPopupMinWidth, kPopupMinHeight};
        return 0;
    }
    return DialogThunk<CDetailsPopup>(popup, message, wParam, lParam);
}

HWND CDetailsPopup::Create(IProfile& profile)
{
    m_lastColumn = -1;
    m_dragging = false;
    m_hPopup = CreateDialogParamA(m_plugin.Instance(), MAKEINTRESOURCEA(IDD_DETAILS_POPUP), m_owner.Window(),
                                  DialogProc, reinterpret_cast<LPARAM>(this));
    if (!m_hPopup) return nullptr;
    static_cast<PopupState&>(*this) = InitialPopupState(ReadSetting(profile, kSectionPopDialog, kPopPinned));
    if (!m_popupPinned) ShowWindow(m_hPopup, SW_HIDE);
    return m_hPopup;
}

void CDetailsPopup::Destroy()
{
    if (m_hPopup) DestroyWindow(m_hPopup);
    m_hPopup = nullptr;
}

// Gather, let the core decide, apply once; the store is read only under the lock.
void CDetailsPopup::ShowProgrammeDetails(int column, int rowIndex, int item, bool userClick)
{
    PopupShowRequest request;
    request.hasWindow = m_hPopup != nullptr;
    request.column = column;
    request.rowIndex = rowIndex;
    request.item = item;
    request.userClick = userClick;
    if (m_hPopup) {
        request.tuningBusy = [this] { return m_owner.TuningBusy(); };
        POINT pointer = {};
        GetCursorPos(&pointer);
        const ControlSize window = WindowSizeOf(m_hPopup);
        const ControlSize screen = WindowSizeOf(GetDesktopWindow());
        request.pointerX = pointer.x;
        request.pointerY = pointer.y;
        request.width = window.width;
        request.height = window.height;
        request.screenWidth = screen.width;
        request.screenHeight = screen.height;
    }
    const PopupDescriber describe = [this](const ListRow& row, int col, const char* cell, const char* name,
                                           PopupTexts& out) {
        bool described = false;
        m_plugin.ReadLocked([&](const LockedView& locked) {
            described = DescribeProgramme(row, col, cell, name, locked.parser.store, out);
        });
        return described;
    };
    const PopupShowPlan plan = PlanPopupShow(*this, request, m_owner.Rows(), m_owner.Items(), describe);
    if (plan.hide) ApplyHide();
    if (plan.fill) ApplyFill(plan);
}

void CDetailsPopup::HidePopup()
{
    if (HidePopupState(*this, m_hPopup != nullptr)) ApplyHide();
}
