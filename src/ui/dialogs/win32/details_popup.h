// The details popup (template 106): a captionless, resizable, pale-yellow window beside the
// pointer with one programme's times, title and description, a "選局" button and a "×"
// button. The core decides its texts, placement, timer and pinning (ui/dialogs/popup_*.h);
// this file applies them. Windows only; everything runs on the main window's thread.
//
// Its state is CEventView::m_popup (plugin/window_state.h), reached from this window's files
// only; the main window goes through the functions below.
#pragma once

#include <windows.h>

class CEventView;
class IProfile;

// Created visible, owned by the main window, from the plug-in's own resources; null when
// it could not be made. Its "PopDialog" "Fixed" from the profile: 0 hides it, any other
// value pins it and keeps it shown. The caller applies the saved geometry.
HWND CreateDetailsPopup(CEventView& view, IProfile& profile);
void DestroyDetailsPopup(CEventView& view);

// The popup window (null when there is none) and whether it is pinned, for the main window
// that shows and hides it along with itself.
HWND DetailsPopupWindow(const CEventView& view);
bool DetailsPopupPinned(const CEventView& view);

// Fills and presents the popup for one "now" (1) or "next" (2) cell of row rowIndex. item:
// the list item whose texts are read; titleText and nameText, when given, stand in for the
// cell's text and column 0's text. userClick 0 is a refresh, which never brings the popup up.
void ShowProgrammeDetails(CEventView& view, int column, int rowIndex, int item, int userClick, const char* titleText,
                      const char* nameText);

// Hides the popup unless it is pinned or already hidden, stops its timer and gives the
// keyboard focus back to the main window.
void HidePopup(CEventView& view);

INT_PTR CALLBACK DetailsPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
