// The settings dialog (template 107): which services the main list shows and in which
// order. The object owns the dialog's list, the core's model (ui/dialogs/setup_list.h), which
// the core fills, moves and writes; the list view shows it and takes the user's ticks and
// selection. Windows only.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/dialogs/setup_list.h"

class IMainWindow;
class IPluginServices;

class CSettingsDialog final {
public:
    CSettingsDialog(IPluginServices& plugin, IMainWindow& owner) : m_plugin(plugin), m_owner(owner) {}
    CSettingsDialog(const CSettingsDialog&) = delete;
    CSettingsDialog& operator=(const CSettingsDialog&) = delete;

    // Runs the dialog modally, owned by the main window; returns 1 after OK (the choice is
    // saved and the main list rebuilt) and 2 after Cancel or closing (nothing is written).
    INT_PTR Run();

    // The dialog procedure's way in (ui/win32/dialog_thunk.h).
    INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Fill(HWND dialog);
    void Accept(HWND dialog);
    void Move(HWND dialog, SetupMoveDirection direction);

    IPluginServices& m_plugin;
    IMainWindow& m_owner;
    std::vector<SetupItem> m_items;  // item i of the list view
};
