// The details popup (template 106): a captionless, resizable, pale-yellow window beside the
// pointer with one programme's times, title and description, a "選局" button and a "×"
// button. The core decides its texts, placement, timer and pinning (ui/dialogs/popup_*.h);
// this class applies them. Windows only; everything runs on the main window's thread.
//
// The object owns the popup's state: the core's PopupState (shown, pinned, ticks, service,
// last column) and what only the window has. The main window owns the object and reaches the
// window through it; the window reaches the object through its user data.
#pragma once

#include <windows.h>

#include "geometry/window_geometry.h"
#include "ui/dialogs/popup_show.h"

class IMainWindow;
class IPluginServices;
class IProfile;

class CDetailsPopup final : private PopupState {
public:
    CDetailsPopup(IPluginServices& plugin, IMainWindow& owner) : m_plugin(plugin), m_owner(owner) {}
    CDetailsPopup(const CDetailsPopup&) = delete;
    CDetailsPopup& operator=(const CDetailsPopup&) = delete;

    // Created visible, owned by the main window, from the plug-in's own resources; null when
    // it could not be made. Its "PopDialog" "Fixed" from the profile: 0 hides it, any other
    // value pins it and keeps it shown. The caller applies the saved geometry.
    HWND Create(IProfile& profile);
    // Its WM_DESTROY saves the "PopDialog" section.
    void Destroy();

    // The popup window (null when there is none) and whether it is pinned, for the main
    // window that shows and hides it along with itself.
    HWND Window() const { return m_hPopup; }
    bool Pinned() const { return m_popupPinned != 0; }

    // Fills and presents the popup for one "now" (1) or "next" (2) cell of row rowIndex, or
    // hides it for a second click on the same cell (ui/dialogs/popup_show.h). item: the list
    // item whose texts are read, -1 for the row's own. A refresh (userClick false) never
    // brings the popup up.
    void ShowProgrammeDetails(int column, int rowIndex, int item, bool userClick);
    // Hides the popup unless it is pinned or already hidden, stops its timer and gives the
    // keyboard focus back to the main window.
    void HidePopup();

    // The dialog procedure's way in (ui/win32/dialog_thunk.h).
    INT_PTR HandleMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND popup);
    void Layout(HWND popup, int width, int height);
    void OnTimer(HWND popup);
    void OnCommand(HWND popup, WPARAM wParam);
    void OnMouseMove(HWND popup, LPARAM lParam);
    void OnButtonUp(HWND popup, LPARAM lParam);
    void BeginDrag(HWND popup);
    void OnDestroy(HWND popup);
    INT_PTR ColourStatic(HWND popup, HDC dc, HWND control) const;
    void ApplyFill(const PopupShowPlan& plan);
    void ApplyHide();
    void RequestTune() const;
    void KillPopupTimer();

    IPluginServices& m_plugin;
    IMainWindow& m_owner;
    HWND m_hPopup = nullptr;
    ControlSize m_closeButtonSize;  // measured at initialisation
    ControlSize m_tuneButtonSize;
    UINT_PTR m_popupTimer = 0;
    bool m_dragging = false;
    DragStart m_drag;
    HBRUSH m_hBackground = nullptr;
};
