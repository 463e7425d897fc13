// The settings dialog's window: the list view holds the model between opening and OK, so
// every move reads it back, plans in the core and applies the plan item by item.
#include "ui/dialogs/win32/settings_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/dialog_ids.h"
#include "settings/win32/private_profile.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/setup_list.h"
#include "ui/list/service_settings.h"
#include "ui/win32/dialog_thunk.h"
#include "ui/win32/list_view.h"
#include "ui/win32/main_window.h"
#include "ui/win32/plugin_services.h"

namespace {

constexpr int kNameChars = 100;
constexpr const char* kNameColumnTitle = "CH";

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_SETUP_LIST); }

void InsertColumns(HWND list)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<char*>(kNameColumnTitle);
    column.cx = kSetupNameColumnWidth;
    column.iSubItem = 0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<char*>("");
    column.cx = 0;  // the hidden order value
    column.iSubItem = 1;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
}

// Inserts one item at a position with its name, service id and tick; returns its index.
int InsertItem(HWND list, int position, const SetupItem& entry)
{
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_PARAM;
    lv.iItem = position;
    lv.pszText = const_cast<char*>(entry.name.c_str());
    lv.lParam = entry.serviceId;
    const int item = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
    if (item < 0) return item;
    ListView_SetItemState(list, item, INDEXTOSTATEIMAGEMASK(SetupStateImage(entry.checked)), LVIS_STATEIMAGEMASK);
    return item;
}

SetupItem ReadItem(HWND list, int item)
{
    char name[kNameChars] = {};
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
    lv.iItem = item;
    lv.stateMask = LVIS_STATEIMAGEMASK;
    lv.pszText = name;
    lv.cchTextMax = sizeof name;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    SetupItem entry;
    entry.name = name;
    entry.serviceId = static_cast<uint16_t>(lv.lParam);
    entry.checked = SetupCheckedFromStateImage(static_cast<int>((lv.state & LVIS_STATEIMAGEMASK) >> 12));
    return entry;
}

std::vector<SetupItem> ReadItems(HWND list)
{
    std::vector<SetupItem> items;
    const int count = ListView_GetItemCount(list);
    for (int item = 0; item < count; ++item) items.push_back(ReadItem(list, item));
    return items;
}

void Move(HWND dialog, SetupMoveDirection direction)
{
    const HWND list = ListOf(dialog);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0) return;
    const std::vector<SetupItem> items = ReadItems(list);
    const SetupBlockMove move = PlanSetupMove(items, selected, direction);
    if (move.count == 0) return;
    const uint16_t selectedId = items[static_cast<size_t>(selected)].serviceId;
    for (int step = 0; step < move.count; ++step) {
        const SetupItem entry = ReadItem(list, move.from);
        ListView_DeleteItem(list, move.from);
        const int item = InsertItem(list, move.to, entry);
        if (item >= 0 && entry.serviceId == selectedId) {
            const UINT flags = LVIS_SELECTED | LVIS_FOCUSED;
            ListView_SetItemState(list, item, flags, flags);
        }
        const int now = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        if (now >= 0) ListView_EnsureVisible(list, now, TRUE);
    }
}

}  // namespace

void CSettingsDialog::Fill(HWND dialog)
{
    InitListViewClasses();
    const HWND list = ListOf(dialog);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    InsertColumns(list);
    std::vector<SetupItem> items;
    m_plugin.BuildWithServiceSettings([&](const LockedView& locked, const ServiceSettings& settings) {
        items = FillSetupList(locked.parser.store, settings);
    });
    int position = 0;
    for (const SetupItem& entry : items) {
        const int item = InsertItem(list, position, entry);
        if (item < 0) break;
        char order[16];
        std::snprintf(order, sizeof order, "%d", entry.sortValue);
        LVITEMA lv = {};
        lv.iSubItem = 1;
        lv.pszText = order;
        SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
        ++position;
    }
    SendMessageA(list, LVM_SETSELECTEDCOLUMN, 0, 0);
}

void CSettingsDialog::Accept(HWND dialog)
{
    CPrivateProfile profile(m_plugin.SettingsPath());
    WriteSetupChoices(profile, ReadItems(ListOf(dialog)));
    m_owner.BuildRows();
    EndDialog(dialog, IDOK);
}

INT_PTR CSettingsDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: Fill(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SETUP_UP: Move(dialog, SetupMoveDirection::Up); break;
        case IDC_SETUP_DOWN: Move(dialog, SetupMoveDirection::Down); break;
        case IDOK: Accept(dialog); break;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
        default: break;
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return 0;
    }
}

INT_PTR CSettingsDialog::Run()
{
    // The template's list view is made before WM_INITDIALOG: its class must exist already.
    InitListViewClasses();
    return DialogBoxParamA(m_plugin.Instance(), MAKEINTRESOURCEA(IDD_SETTINGS_DIALOG), m_owner.Window(),
                           DialogThunk<CSettingsDialog>, reinterpret_cast<LPARAM>(this));
}
