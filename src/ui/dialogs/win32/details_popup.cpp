// The details popup's window: compute in the core (texts, placement, timer and drag
// decisions), apply here.
#include "ui/dialogs/win32/details_popup.h"

#include <windows.h>

#include <string>
#include <vector>

#include "plugin/event_view.h"
#include "geometry/dialog_layout.h"
#include "geometry/window_geometry.h"
#include "res/dialog_ids.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "ui/dialogs/popup_placement.h"
#include "ui/dialogs/popup_state.h"
#include "ui/dialogs/popup_text.h"
#include "ui/win32/window_place.h"
#include "ts/stream_parser.h"

namespace {


void KillPopupTimer(PopupWindowState& popup)
{
    if (popup.m_popupTimer && popup.m_hPopup) KillTimer(popup.m_hPopup, popup.m_popupTimer);
    popup.m_popupTimer = 0;
}

bool TuningBusy(CEventView& view) { return view.m_tuneTimer != 0 || view.IsRecording(); }

void SetTuneButton(HWND popup, bool busy)
{
    const HWND button = GetDlgItem(popup, IDC_POPUP_TUNE);
    ShowWindow(button, busy ? SW_HIDE : SW_SHOW);
    SetWindowTextA(button, TuneButtonText(busy));
}

// Puts the caret at the end of the edit control and replaces the selection with the text.
void AppendPopupText(HWND popup, const std::string& text)
{
    const HWND edit = GetDlgItem(popup, IDC_POPUP_TEXT);
    SendMessageA(edit, EM_SETSEL, 0xFFFF, 0xFFFF);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void PresentPopup(PopupWindowState& state, int pointerX, int pointerY, int userClick)
{
    const HWND popup = state.m_hPopup;
    const HWND edit = GetDlgItem(popup, IDC_POPUP_TEXT);
    SendMessageA(edit, WM_VSCROLL, SB_TOP, 0);
    ShowWindow(edit, SW_SHOW);
    RECT window = {};
    GetWindowRect(popup, &window);
    RECT screen = {};
    GetWindowRect(GetDesktopWindow(), &screen);
    const PopupPlacement place = PlacePopup(state, userClick != 0, pointerX, pointerY, window.right - window.left,
                                            window.bottom - window.top, screen.right - screen.left,
                                            screen.bottom - screen.top);
    if (place.move)
        SetWindowPos(popup, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (PresentPopupState(state)) ShowWindow(popup, SW_SHOWNA);
    KillPopupTimer(state);
    state.m_popupTimer = SetTimer(popup, kPopupTimerId, kPopupTimerMs, nullptr);
}

// The row's texts are the list's; the store is read only under the lock.
bool Describe(CEventView& view, const ListRow& row, int column, int item, const char* titleText,
              const char* nameText, PopupTexts& texts)
{
    const std::string cell =
        titleText ? std::string(titleText) : view.ListItemText(item, column, kPopupCellTextBytes - 1);
    const std::string name = nameText ? std::string(nameText) : view.ListItemText(item, 0, kPopupNameTextBytes - 1);
    PluginLockGuard guard(view.m_lock);
    return view.m_pParser && DescribeProgramme(row, column, cell.c_str(), name.c_str(), view.m_pParser->store, texts);
}

void BeginDrag(PopupWindowState& state, HWND popup)
{
    RECT window = {};
    GetWindowRect(popup, &window);
    POINT pointer = {};
    GetCursorPos(&pointer);
    state.m_drag = {window.left, window.top, pointer.x, pointer.y};
    state.m_dragging = true;
    SetCapture(popup);
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

void OnMouseMove(PopupWindowState& state, HWND popup, LPARAM lParam)
{
    if (!state.m_dragging) return;
    const ScreenPoint pointer = PointerOf(popup, lParam);
    MoveTo(popup, PopupDragMove(state, state.m_drag, pointer.x, pointer.y));
}

void OnButtonUp(PopupWindowState& state, HWND popup, LPARAM lParam)
{
    if (!state.m_dragging) return;
    const ScreenPoint pointer = PointerOf(popup, lParam);
    MoveTo(popup, PopupDragTarget(state.m_drag, pointer.x, pointer.y));
    state.m_dragging = false;
    ReleaseCapture();
}

// "選局": the first list item whose row shows the popup's service.
void RequestTune(const CEventView& view)
{
    const std::vector<int> itemRows = view.ItemRows();
    const int command = PopupTuneCommand(view.Rows(), itemRows.data(), static_cast<int>(itemRows.size()),
                                         view.m_popup.m_popupServiceId);
    if (command) PostMessageA(view.m_hWnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void OnTimer(CEventView& view, HWND popup)
{
    POINT pointer = {};
    GetCursorPos(&pointer);
    RECT window = {};
    GetWindowRect(popup, &window);
    const bool hide =
        PopupTimerTick(view.m_popup, pointer.x, pointer.y, {window.left, window.top, window.right, window.bottom});
    if (hide) HidePopup(view);
    const bool busy = TuningBusy(view);
    const TuneButtonChange change = TuneButtonUpkeep(busy, IsWindowVisible(GetDlgItem(popup, IDC_POPUP_TUNE)) != 0);
    if (change != TuneButtonChange::None) SetTuneButton(popup, change == TuneButtonChange::Hide);
}

void Layout(const PopupWindowState& state, HWND popup, int width, int height);

void OnInitDialog(PopupWindowState& state, HWND popup)
{
    state.m_closeButtonSize = WindowSizeOf(GetDlgItem(popup, IDC_POPUP_CLOSE));
    state.m_tuneButtonSize = WindowSizeOf(GetDlgItem(popup, IDC_POPUP_TUNE));
    if (!state.m_hBackground) state.m_hBackground = CreateSolidBrush(kPopupBackground);
    // A window that is neither a pop-up nor a child always gets a caption; take it away.
    SetWindowLongA(popup, GWL_STYLE, GetWindowLongA(popup, GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(popup, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT client = {};
    GetClientRect(popup, &client);
    Layout(state, popup, client.right, client.bottom);
}

void Layout(const PopupWindowState& state, HWND popup, int width, int height)
{
    const PopupLayout layout = LayOutPopup(width, height, state.m_closeButtonSize, state.m_tuneButtonSize);
    const HWND close = GetDlgItem(popup, IDC_POPUP_CLOSE);
    const HWND tune = GetDlgItem(popup, IDC_POPUP_TUNE);
    const bool tuneShown = IsWindowVisible(tune) != 0;
    ShowWindow(close, SW_HIDE);
    ShowWindow(tune, SW_HIDE);
    PlaceWindow(close, layout.close, SWP_NOSIZE);
    PlaceWindow(tune, layout.tune, SWP_NOSIZE);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_NAME), layout.name);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_TIMES), layout.times);
    PlaceWindow(GetDlgItem(popup, IDC_POPUP_TEXT), layout.text);
    ShowWindow(close, SW_SHOW);
    // A tune button hidden while a tuning request is pending stays hidden.
    if (tuneShown) ShowWindow(tune, SW_SHOW);
}

void Save(const CEventView& view, HWND popup)
{
    CPrivateProfile profile(view.m_iniPath);
    WriteWindowGeometry(profile, kPopupGeometry, {WindowRectOf(popup), 0});
    WriteProfileInt(profile, kSectionPopDialog, kPopFixed.key, view.m_popup.m_popupPinned);
}

void OnDestroy(CEventView& view, HWND popup)
{
    PopupWindowState& state = view.m_popup;
    if (state.m_hBackground) DeleteObject(state.m_hBackground);
    state.m_hBackground = nullptr;
    KillPopupTimer(state);
    state.m_dragging = false;
    Save(view, popup);
}

INT_PTR ColourStatic(const PopupWindowState& state, HWND popup, HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    if (GetParent(control) != popup || (id != IDC_POPUP_NAME && id != IDC_POPUP_TIMES && id != IDC_POPUP_TEXT))
        return 0;
    SetBkColor(dc, kPopupBackground);
    return reinterpret_cast<INT_PTR>(state.m_hBackground);
}

void OnCommand(CEventView& view, HWND popup, WPARAM wParam)
{
    if (HIWORD(wParam) != 0) return;
    switch (LOWORD(wParam)) {
    case IDC_POPUP_NAME:
    case IDC_POPUP_TIMES: BeginDrag(view.m_popup, popup); break;
    case IDC_POPUP_TUNE: RequestTune(view); break;
    case IDC_POPUP_CLOSE:
        view.m_popup.m_popupPinned = 0;
        HidePopup(view);
        break;
    default: break;
    }
}

INT_PTR HandleMessage(CEventView& view, HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    PopupWindowState& state = view.m_popup;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(state, popup);
        return FALSE;  // the keyboard focus stays where it is
    case WM_SIZE: Layout(state, popup, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_GETMINMAXINFO: {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMinTrackSize = {kPopupMinWidth, kPopupMinHeight};
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        return ColourStatic(state, popup, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(state.m_hBackground);
    case WM_COMMAND: OnCommand(view, popup, wParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(state, popup, lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(state, popup, lParam); return 0;
    // Losing the capture some other way ends the drag where it is.
    case WM_CAPTURECHANGED: state.m_dragging = false; return 0;
    case WM_CLOSE: HidePopup(view); return TRUE;
    case WM_TIMER:
        if (wParam == kPopupTimerId) OnTimer(view, popup);
        return 0;
    case WM_DESTROY: OnDestroy(view, popup); return 0;
    default: return 0;
    }
}

}  // namespace

HWND CreateDetailsPopup(CEventView& view, IProfile& profile)
{
    PopupWindowState& state = view.m_popup;
    state.m_lastColumn = -1;
    state.m_dragging = false;
    state.m_hPopup = CreateDialogParamA(view.m_hInstance, MAKEINTRESOURCEA(IDD_DETAILS_POPUP), view.m_hWnd,
                                        DetailsPopupProc, 0);
    if (!state.m_hPopup) return nullptr;
    state.m_popupPinned = ReadSetting(profile, kSectionPopDialog, kPopFixed);
    if (!state.m_popupPinned) ShowWindow(state.m_hPopup, SW_HIDE);
    state.m_popupShown = state.m_popupPinned;
    return state.m_hPopup;
}

// Its WM_DESTROY saves the "PopDialog" section.
void DestroyDetailsPopup(CEventView& view)
{
    if (view.m_popup.m_hPopup) DestroyWindow(view.m_popup.m_hPopup);
    view.m_popup.m_hPopup = nullptr;
}

HWND DetailsPopupWindow(const CEventView& view) { return view.m_popup.m_hPopup; }

bool DetailsPopupPinned(const CEventView& view) { return view.m_popup.m_popupPinned != 0; }

void ShowProgrammeDetails(CEventView& view, int column, int rowIndex, int item, int userClick, const char* titleText,
                      const char* nameText)
{
    const ListRow* row = RowAt(view.Rows(), rowIndex);
    if (!row) return;
    PopupWindowState& state = view.m_popup;
    const PopupClick click = DecidePopupClick(state, state.m_hPopup != nullptr, column, row->serviceId, userClick != 0);
    if (click == PopupClick::Ignore) return;
    if (click == PopupClick::Hide) {
        HidePopup(view);
        return;
    }
    if (!Describe(view, *row, column, item, titleText, nameText, state.m_texts)) return;
    PopupFilled(state, row->serviceId);
    const PopupTexts& texts = state.m_texts;
    const HWND popup = state.m_hPopup;
    SetTuneButton(popup, TuningBusy(view));
    SetDlgItemTextA(popup, IDC_POPUP_NAME, texts.nameLine.c_str());
    SetDlgItemTextA(popup, IDC_POPUP_TIMES, texts.timesLine.c_str());
    const HWND edit = GetDlgItem(popup, IDC_POPUP_TEXT);
    SetWindowTextA(edit, "");
    ShowWindow(edit, SW_HIDE);
    AppendPopupText(popup, texts.body);
    POINT pointer = {};
    GetCursorPos(&pointer);
    PresentPopup(state, pointer.x, pointer.y, userClick);
}

void HidePopup(CEventView& view)
{
    PopupWindowState& state = view.m_popup;
    if (!HidePopupState(state, state.m_hPopup != nullptr)) return;
    ShowWindow(state.m_hPopup, SW_HIDE);
    KillPopupTimer(state);
    if (view.m_hWnd) SetFocus(view.m_hWnd);
}

INT_PTR CALLBACK DetailsPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    CEventView* view = g_eventView;
    if (!view) return 0;
    try {
        return HandleMessage(*view, popup, message, wParam, lParam);
    } catch (...) {
        // Out of memory while filling: the message is dropped.
        return 0;
    }
}
