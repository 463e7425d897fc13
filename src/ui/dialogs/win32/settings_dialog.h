// The settings dialog (template 107): which services the main list shows and in which
// order. The core fills the list, finds and plans the block moves and writes the choice
// (ui/dialogs/setup_list.h); this file applies them to the list view. Windows only.
#pragma once

#include <windows.h>

class CEventView;

// Runs the dialog modally, owned by the main window; returns 1 after OK (the choice is
// saved and the main list rebuilt) and 2 after Cancel or closing (nothing is written).
INT_PTR RunSettingsDialog(CEventView& view);

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
