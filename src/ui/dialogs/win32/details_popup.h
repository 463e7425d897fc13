// The details popup (template 106): a captionless, resizable, pale-yellow window beside the
// pointer with one programme's times, title and description, a "選局" button and a "×"
// button. The core decides its texts, placement, timer and pinning (ui/dialogs/popup_*.h);
// this file applies them. Windows only; everything runs on the main window's thread.
//
// Besides the CEventView fields m_hPopup, m_popupTimer, m_popupTicks, m_popupShown,
// m_popupPinned and m_popupServiceId, the popup keeps module-wide state here: the measured
// sizes of its two buttons, the drag in progress, its brush and the last column shown.
// One plug-in object per process is supported, so one set is enough.
#pragma once

#include <windows.h>

class CEventView;

// Created visible, owned by the main window, from the plug-in's own resources; null when
// it could not be made.
HWND CreateDetailsPopup(CEventView& view);

// Fills and presents the popup for one "now" (1) or "next" (2) cell of row rowIndex. item:
// the list item whose texts are read; titleText and nameText, when given, stand in for the
// cell's text and column 0's text. userClick 0 is a refresh, which never brings the popup up.
void ShowProgrammeDetails(CEventView& view, int column, int rowIndex, int item, int userClick, const char* titleText,
                      const char* nameText);

// Hides the popup unless it is pinned or already hidden, stops its timer and gives the
// keyboard focus back to the main window.
void HidePopup(CEventView& view);

INT_PTR CALLBACK DetailsPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
