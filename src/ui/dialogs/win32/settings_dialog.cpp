// The settings dialog's window: the core's list is the model; a move is planned and applied
// in the core, step by step, and each step is mirrored in the list view, which shows it.
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

// The ticks are the user's input in the list view: the model takes them before it is used.
void TakeTicks(HWND list, std::vector<SetupItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const UINT state = ListView_GetItemState(list, static_cast<int>(i), LVIS_STATEIMAGEMASK);
        items[i].checked = SetupCheckedFromStateImage(static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12));
    }
}

}  // namespace

void CSettingsDialog::Move(HWND dialog, SetupMoveDirection direction)
{
    const HWND list = ListOf(dialog);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0) return;
    TakeTicks(list, m_items);
    const SetupBlockMove move = PlanSetupMove(m_items, selected, direction);
    SetupBlockMove step = move;
    step.count = 1;
    for (int k = 0; k < move.count; ++k) {
        ApplySetupMove(m_items, step);
        ListView_DeleteItem(list, move.from);
        const int item = InsertItem(list, move.to, m_items[static_cast<size_t>(move.to)]);
        if (item >= 0 && SetupStepSelects(move, k)) {
            const UINT flags = LVIS_SELECTED | LVIS_FOCUSED;
            ListView_SetItemState(list, item, flags, flags);
        }
        const int now = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        if (now >= 0) ListView_EnsureVisible(list, now, TRUE);
    }
}

void CSettingsDialog::Fill(HWND dialog)
{
    InitListViewClasses();
    const HWND list = ListOf(dialog);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    InsertColumns(list);
    m_items.clear();
    m_plugin.BuildWithServiceSettings([&](const LockedView& locked, const ServiceSettings& settings) {
        m_items = FillSetupList(locked.parser.store, settings);
    });
    size_t position = 0;
    for (const SetupItem& entry : m_items) {
        const int item = InsertItem(list, static_cast<int>(position), entry);
        if (item < 0) break;
        char order[16];
        std::snprintf(order, sizeof order, "%d", entry.sortValue);
        LVITEMA lv = {};
        lv.iSubItem = 1;
        lv.pszText = order;
        SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
        ++position;
    }
    m_items.resize(position);  // what the list view could not take is not listed
    SendMessageA(list, LVM_SETSELECTEDCOLUMN, 0, 0);
}

void CSettingsDialog::Accept(HWND dialog)
{
    CPrivateProfile profile(m_plugin.SettingsPath());
    TakeTicks(ListOf(dialog), m_items);
    WriteSetupChoices(profile, m_items);
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
