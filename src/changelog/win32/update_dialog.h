// The update-information dialog (template 102): a modeless window owned by the main window
// that lists the change log, sorts it by column, marks the differences between the old and
// new programme in red, and clears what it showed. Windows only.
//
// Its state is CEventView::m_update (plugin/window_state.h), reached from this window's
// files only; the main window goes through the functions below.
#pragma once

#include <windows.h>

class CEventView;
class IProfile;

// Creates the dialog visible, owned by the main window, from the plug-in's own resources;
// null when it could not be made. Its "UpdateDialog" "Fixed" from the profile: non-zero
// posts the refresh command, zero hides it. The caller applies the saved geometry.
HWND CreateUpdateDialog(CEventView& view, IProfile& profile);
void DestroyUpdateDialog(CEventView& view);

// The dialog (null when there is none) and whether the user keeps it open, for the main
// window that shows and hides it along with itself.
HWND UpdateDialogWindow(const CEventView& view);
bool UpdateDialogKeptOpen(const CEventView& view);

// The user opens it from the main window: refreshed, shown and kept open.
void OpenUpdateDialog(CEventView& view);
// New changes were recorded: a dialog on screen is refreshed.
void RefreshUpdateDialogIfShown(CEventView& view);

// The dialog procedure. It reaches the plug-in object through the module's single pointer
// and handles nothing while there is none.
INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
