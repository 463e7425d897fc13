// The update-information dialog (template 102): a modeless window owned by the main window
// that lists the change log, sorts it by column, marks the differences between the old and
// new programme in red, and clears what it showed. Windows only.
#pragma once

#include <windows.h>

class CEventView;

// Creates the dialog visible, owned by the main window, from the plug-in's own resources.
// Null when it could not be made. The caller hides it or posts the refresh command (105).
HWND CreateUpdateDialog(CEventView& view);

// The dialog procedure. It reaches the plug-in object through the module's single pointer
// and handles nothing while there is none.
INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
