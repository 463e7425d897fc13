// The update-information dialog: the core decides the item texts, the sort order, what
// "クリア" removes and how a row is painted; this file applies it to the list view.
#include "changelog/win32/update_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "changelog/difference_text.h"
#include "changelog/update_pinning.h"
#include "changelog/update_row_paint.h"
#include "changelog/update_view.h"
#include "geometry/dialog_layout.h"
#include "geometry/window_geometry.h"
#include "res/dialog_ids.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "ui/win32/list_view.h"
#include "ui/win32/cell_drawing.h"
#include "ui/win32/dialog_thunk.h"
#include "ui/win32/main_window.h"
#include "ui/win32/plugin_services.h"
#include "ui/win32/window_place.h"
#include "ts/stream_parser.h"


namespace {

constexpr TextSetting kColumnWidths[kUpdateColumnCount] = {kUpdateChw, kUpdateDateW, kUpdateOldW, kUpdateNewW};

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_UPDATE_LIST); }

void SetSubItemText(HWND list, int item, int column, const std::string& text)
{
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
}

void Layout(HWND dialog, int width, int height)
{
    const HWND close = GetDlgItem(dialog, IDCANCEL);
    RECT button = {};
    GetClientRect(close, &button);
    const UpdateDialogLayout layout = LayOutUpdateDialog(
        width, height, {static_cast<int>(button.right - button.left), static_cast<int>(button.bottom - button.top)});
    PlaceWindow(ListOf(dialog), layout.list);
    PlaceWindow(GetDlgItem(dialog, IDC_UPDATE_CLEAR), layout.clear, SWP_NOSIZE);
    PlaceWindow(close, layout.close, SWP_NOSIZE);
}

// Pieces one after another from the cell's left edge, each moving it by the width it needs.
void DrawPieces(HDC dc, RECT cell, int format, const std::vector<TextPiece>& pieces, COLORREF difference)
{
    for (const TextPiece& piece : pieces) {
        int width = 0;
        if (piece.difference) {
            const COLORREF previous = SetTextColor(dc, difference);
            width = DrawCellText(piece.margins, format, cell, piece.text.c_str(), dc);
            SetTextColor(dc, previous);
        } else {
            width = DrawCellText(piece.margins, format, cell, piece.text.c_str(), dc);
        }
        cell.left += width;
        if (cell.left >= cell.right) break;
    }
}

// What the list's comparison callback needs; it has no window handle to find the dialog by.
struct SortRequest {
    const ChangeLog& changes;
    const UpdateSortDirections& directions;
    int column;
};

}  // namespace

// The texts of the item with this lParam; null for none.
const UpdateListItem* CUpdateDialog::ItemOf(ULONG_PTR recordIndex) const
{
    if (recordIndex >= m_items.size()) return nullptr;
    const UpdateListItem& entry = m_items[recordIndex];
    return entry.recordIndex == recordIndex ? &entry : nullptr;
}

void CUpdateDialog::CreateColumns(HWND dialog)
{
    InitListViewClasses();
    const HWND list = ListOf(dialog);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    CPrivateProfile profile(m_plugin.SettingsPath());
    for (int k = 0; k < kUpdateColumnCount; ++k)
        InsertTextColumn(list, k, kUpdateColumnHeaders[k],
                         ReadSetting(profile, kSectionUpdateDialog, kColumnWidths[k]).value);
}

// The names are read under the lock; the list is filled after it is released. The items
// are kept for drawing: item n has record index n.
void CUpdateDialog::Refresh(HWND dialog)
{
    std::vector<UpdateListItem> built;
    const ChangeLog& changes = m_plugin.Changes();
    const bool named = m_plugin.ReadLocked(
        [&](const LockedView& locked) { built = BuildUpdateList(changes, &locked.parser.store); });
    if (!named) built = BuildUpdateList(changes, nullptr);
    const HWND list = ListOf(dialog);
    ListView_DeleteAllItems(list);
    m_items = std::move(built);
    int inserted = 0;
    for (const UpdateListItem& entry : m_items) {
        const std::string& name = entry.column[kUpdateServiceColumn];
        LVITEMA lv = {};
        lv.mask = LVIF_TEXT | LVIF_PARAM;
        lv.iItem = inserted;
        lv.pszText = const_cast<char*>(name.c_str());
        lv.lParam = static_cast<LPARAM>(entry.recordIndex);
        const int item = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
        if (item < 0) break;
        for (int column : kUpdateSubItemOrder) SetSubItemText(list, item, column, entry.column[column]);
        ++inserted;
    }
    m_items.resize(static_cast<size_t>(inserted));
    if (inserted > 0) ListView_EnsureVisible(list, inserted - 1, FALSE);
}

int CALLBACK CUpdateDialog::CompareItems(LPARAM first, LPARAM second, LPARAM sort)
{
    const auto& request = *reinterpret_cast<const SortRequest*>(sort);
    return CompareChangeRows(request.changes, first, second, request.column, request.directions);
}

void CUpdateDialog::SortByColumn(HWND dialog, int column)
{
    FlipSortDirection(m_updateSort, column);
    const SortRequest request{m_plugin.Changes(), m_updateSort, column};
    ListView_SortItems(ListOf(dialog), CompareItems, reinterpret_cast<LPARAM>(&request));
}

void CUpdateDialog::ClearShown(HWND dialog)
{
    const HWND list = ListOf(dialog);
    const int shown = ListView_GetItemCount(list);
    ListView_DeleteAllItems(list);
    m_items.clear();
    m_plugin.ClearShownChanges(shown);
    m_owner.RebuildRowsAtNextTick();
}

void CUpdateDialog::Apply(HWND dialog, const UpdateDialogStep& step)
{
    m_updatePinned = step.pinned;
    if (step.refresh) PostMessageA(dialog, WM_COMMAND, IDC_UPDATE_REFRESH, 0);
    if (step.show) ShowWindow(dialog, SW_SHOW);
    if (step.hide) ShowWindow(dialog, SW_HIDE);
}

void CUpdateDialog::Close(HWND dialog)
{
    Apply(dialog, StepUpdateDialog(UpdateDialogEvent::Closed, m_updatePinned));
    if (m_owner.Window()) SetFocus(m_owner.Window());
}

void CUpdateDialog::Save(HWND dialog) const
{
    CPrivateProfile profile(m_plugin.SettingsPath());
    const HWND list = ListOf(dialog);
    for (int k = 0; k < kUpdateColumnCount; ++k)
        WriteProfileInt(profile, kSectionUpdateDialog, kColumnWidths[k].key, ListView_GetColumnWidth(list, k));
    WriteWindowGeometry(profile, kUpdateDialogGeometry, {WindowRectOf(dialog), 0});
    WriteProfileInt(profile, kSectionUpdateDialog, kUpdatePinned.key, m_updatePinned);
}

void CUpdateDialog::DrawRow(const DRAWITEMSTRUCT& draw) const
{
    static const UpdateListItem kNoItem;
    const UpdateListItem* shown = ItemOf(draw.itemData);
    const UpdateListItem& entry = shown ? *shown : kNoItem;
    const HWND list = draw.hwndItem;
    const HDC dc = draw.hDC;
    const int item = static_cast<int>(draw.itemID);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const UpdateRowColours colours =
        ChooseUpdateRowColours(selected, item, GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT));
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    if (colours.highlightBackground) SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, colours.text);
    const RowBrushes brushes{colours.rowFill, colours.emptyOldFill, colours.oldWithoutNewFill};

    RECT label = {};
    ListView_GetItemRect(list, item, &label, LVIR_LABEL);
    FillRect(dc, &label, brushes.At(static_cast<int>(UpdateCellFill::Row)));
    DrawCellText(true, ColumnFormat(list, 0), label, entry.column[kUpdateServiceColumn].c_str(), dc);

    const std::string& oldText = entry.column[kUpdateOldColumn];
    const std::string& newText = entry.column[kUpdateNewColumn];
    const int columns = std::min(Header_GetItemCount(ListView_GetHeader(list)), kUpdateColumnCount);
    for (int k = 1; k < columns; ++k) {
        const std::string& text = entry.column[k];
        const int format = ColumnFormat(list, k);
        RECT cell = {};
        ListView_GetSubItemRect(list, item, k, LVIR_BOUNDS, &cell);
        const UpdateCellPaint paint = PaintUpdateCell(k, oldText, newText);
        FillRect(dc, &cell, brushes.At(static_cast<int>(paint.fill)));
        if (paint.markDifferences) {
            DrawPieces(dc, cell, format, DifferencePieces(text, entry.column[paint.against]), colours.difference);
        } else {
            DrawCellText(true, format, cell, text.c_str(), dc);
        }
    }
    if (draw.itemState & ODS_FOCUS) {
        RECT bounds = {};
        ListView_GetItemRect(list, item, &bounds, LVIR_BOUNDS);
        bounds.left = label.left;
        DrawFocusRect(dc, &bounds);
    }
    RestoreDC(dc, saved);
}

INT_PTR CUpdateDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: CreateColumns(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_UPDATE_REFRESH: Refresh(dialog); break;
        case IDC_UPDATE_CLEAR: ClearShown(dialog); break;
        case IDCANCEL: Close(dialog); break;
        default: break;
        }
        return 0;
    case WM_CLOSE: Close(dialog); return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == IDC_UPDATE_LIST && header.code == LVN_COLUMNCLICK)
            SortByColumn(dialog, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID == IDC_UPDATE_LIST && draw.CtlType == ODT_LISTVIEW) DrawRow(draw);
        return 0;
    }
    case WM_SIZE: Layout(dialog, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_DESTROY: Save(dialog); return 0;
    default: return 0;
    }
}

HWND CUpdateDialog::Create(IProfile& profile)
{
    // The template's list view is made before WM_INITDIALOG: its class must exist already.
    InitListViewClasses();
    m_hUpdateDlg = CreateDialogParamA(m_plugin.Instance(), MAKEINTRESOURCEA(IDD_UPDATE_DIALOG), m_owner.Window(),
                                      DialogThunk<CUpdateDialog>, reinterpret_cast<LPARAM>(this));
    if (!m_hUpdateDlg) return nullptr;
    Apply(m_hUpdateDlg,
          StepUpdateDialog(UpdateDialogEvent::Created, ReadSetting(profile, kSectionUpdateDialog, kUpdatePinned)));
    return m_hUpdateDlg;
}

void CUpdateDialog::Destroy()
{
    if (m_hUpdateDlg) DestroyWindow(m_hUpdateDlg);
    m_hUpdateDlg = nullptr;
}

void CUpdateDialog::Open()
{
    if (m_hUpdateDlg) Apply(m_hUpdateDlg, StepUpdateDialog(UpdateDialogEvent::Opened, m_updatePinned));
}

void CUpdateDialog::RefreshIfShown()
{
    if (!m_hUpdateDlg || !IsWindowVisible(m_hUpdateDlg)) return;
    PostMessageA(m_hUpdateDlg, WM_COMMAND, IDC_UPDATE_REFRESH, 0);
    ShowWindow(m_hUpdateDlg, SW_SHOWNA);
}
