// The update-information dialog (template 102): a modeless window owned by the main window
// that lists the change log, sorts it by column, marks the differences between the old and
// new programme in red, and clears what it showed. Windows only.
//
// The object owns the dialog's state (its handle, the sort directions, the pinned flag
// and the items it draws); the main window owns the object, the window reaches it through
// its user data.
#pragma once

#include <windows.h>

#include <vector>

#include "changelog/update_pinning.h"
#include "changelog/update_view.h"

class IMainWindow;
class IPluginServices;
class IProfile;

class CUpdateDialog final {
public:
    CUpdateDialog(IPluginServices& plugin, IMainWindow& owner) : m_plugin(plugin), m_owner(owner) {}
    CUpdateDialog(const CUpdateDialog&) = delete;
    CUpdateDialog& operator=(const CUpdateDialog&) = delete;

    // Creates the dialog visible, owned by the main window, from the plug-in's own resources;
    // null when it could not be made. Its "UpdateDialog" "Fixed" from the profile: non-zero
    // posts the refresh command, zero hides it. The caller applies the saved geometry.
    HWND Create(IProfile& profile);
    // Its WM_DESTROY saves the "UpdateDialog" section.
    void Destroy();

    // The dialog (null when there is none) and whether the user pinned it open, for the main
    // window that shows and hides it along with itself.
    HWND Window() const { return m_hUpdateDlg; }
    bool Pinned() const { return m_updatePinned != 0; }

    // The user opens it from the main window: refreshed, shown and pinned.
    void Open();
    // New changes were recorded: a dialog on screen is refreshed.
    void RefreshIfShown();

    // The dialog procedure's way in (ui/win32/dialog_thunk.h).
    INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM sort);
    void CreateColumns(HWND dialog);
    void Refresh(HWND dialog);
    void SortByColumn(HWND dialog, int column);
    void ClearShown(HWND dialog);
    void Apply(HWND dialog, const UpdateDialogStep& step);
    void Close(HWND dialog);
    void Save(HWND dialog) const;
    void DrawRow(const DRAWITEMSTRUCT& draw) const;
    const UpdateListItem* ItemOf(ULONG_PTR recordIndex) const;

    IPluginServices& m_plugin;
    IMainWindow& m_owner;
    HWND m_hUpdateDlg = nullptr;
    UpdateSortDirections m_updateSort;
    int m_updatePinned = 0;  // "Fixed": opened by the user and not closed since
    // The records the list shows, by record index (an item's lParam); drawn from here.
    std::vector<UpdateListItem> m_items;
};
