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
#include "changelog/update_row_paint.h"
#include "changelog/update_view.h"
#include "plugin/event_view.h"
#include "geometry/dialog_layout.h"
#include "geometry/window_geometry.h"
#include "res/dialog_ids.h"
#include "settings/settings_keys.h"
#include "settings/win32/private_profile.h"
#include "ui/win32/list_view.h"
#include "ui/win32/cell_drawing.h"
#include "ui/win32/window_place.h"
#include "ts/stream_parser.h"

namespace {

constexpr TextSetting kColumnWidths[kUpdateColumnCount] = {kUpdateChw, kUpdateDateW, kUpdateOldW, kUpdateNewW};

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_UPDATE_LIST); }

// A text as the list holds it.
std::string Shown(const std::string& text) { return text.substr(0, kCellTextChars); }

// The texts of the item with this lParam; null for none.
const UpdateListItem* ItemOf(const UpdateDialogState& state, ULONG_PTR recordIndex)
{
    if (recordIndex >= state.m_items.size()) return nullptr;
    const UpdateListItem& entry = state.m_items[recordIndex];
    return entry.recordIndex == recordIndex ? &entry : nullptr;
}

void SetSubItemText(HWND list, int item, int column, const std::string& text)
{
    const std::string shown = Shown(text);
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = const_cast<char*>(shown.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
}

void CreateColumns(CEventView& view, HWND dialog)
{
    InitListViewClasses();
    const HWND list = ListOf(dialog);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    CPrivateProfile profile(view.m_iniPath);
    for (int k = 0; k < kUpdateColumnCount; ++k)
        InsertTextColumn(list, k, kUpdateColumnHeaders[k],
                         ReadSetting(profile, kSectionUpdateDialog, kColumnWidths[k]).value);
}

// The names are read under the lock; the list is filled after it is released. The items
// are kept for drawing: item n has record index n.
void Refresh(CEventView& view, HWND dialog)
{
    std::vector<UpdateListItem> built;
    {
        PluginLockGuard guard(view.m_lock);
        if (view.m_pParser) {
            built = BuildUpdateList(view.m_changeLog, view.m_pParser->store);
        } else {
            const UpdateNameMap noNames;
            for (size_t n = 0; n < view.m_changeLog.Count(); ++n)
                built.push_back(MakeUpdateListItem(view.m_changeLog[n], n, noNames));
        }
    }
    const HWND list = ListOf(dialog);
    ListView_DeleteAllItems(list);
    std::vector<UpdateListItem>& items = view.m_update.m_items;
    items = std::move(built);
    int inserted = 0;
    for (UpdateListItem& entry : items) {
        for (std::string& text : entry.column) text = Shown(text);
        const std::string& name = entry.column[kUpdateServiceColumn];
        LVITEMA lv = {};
        lv.mask = LVIF_TEXT | LVIF_PARAM;
        lv.iItem = inserted;
        lv.pszText = const_cast<char*>(name.c_str());
        lv.lParam = static_cast<LPARAM>(entry.recordIndex);
        const int item = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
        if (item < 0) break;
        SetSubItemText(list, item, kUpdateOldColumn, entry.column[kUpdateOldColumn]);
        SetSubItemText(list, item, kUpdateNewColumn, entry.column[kUpdateNewColumn]);
        SetSubItemText(list, item, kUpdateDateColumn, entry.column[kUpdateDateColumn]);
        ++inserted;
    }
    items.resize(static_cast<size_t>(inserted));
    if (inserted > 0) ListView_EnsureVisible(list, inserted - 1, FALSE);
}

int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM column)
{
    const CEventView* view = g_eventView;
    if (!view) return 0;
    return CompareChangeRows(view->m_changeLog, first, second, static_cast<int>(column), view->m_update.m_updateSort);
}

void SortByColumn(CEventView& view, HWND dialog, int column)
{
    FlipSortDirection(view.m_update.m_updateSort, column);
    ListView_SortItems(ListOf(dialog), CompareItems, column);
}

void ClearShown(CEventView& view, HWND dialog)
{
    const HWND list = ListOf(dialog);
    const int shown = ListView_GetItemCount(list);
    ListView_DeleteAllItems(list);
    view.m_update.m_items.clear();
    ClearShownChanges(view.m_changeLog, shown);
    view.RebuildRowsAtNextTick();
}

void Close(CEventView& view, HWND dialog)
{
    view.m_update.m_updateShown = 0;
    ShowWindow(dialog, SW_HIDE);
    if (view.m_hWnd) SetFocus(view.m_hWnd);
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

void Save(const CEventView& view, HWND dialog)
{
    CPrivateProfile profile(view.m_iniPath);
    const HWND list = ListOf(dialog);
    for (int k = 0; k < kUpdateColumnCount; ++k)
        WriteProfileInt(profile, kSectionUpdateDialog, kColumnWidths[k].key, ListView_GetColumnWidth(list, k));
    WriteWindowGeometry(profile, kUpdateDialogGeometry, {WindowRectOf(dialog), 0});
    WriteProfileInt(profile, kSectionUpdateDialog, kUpdateFixed.key, view.m_update.m_updateShown);
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

void DrawRow(const UpdateDialogState& state, const DRAWITEMSTRUCT& draw)
{
    static const UpdateListItem kNoItem;
    const UpdateListItem* shown = ItemOf(state, draw.itemData);
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
            const std::string& other = k == kUpdateOldColumn ? newText : oldText;
            DrawPieces(dc, cell, format, DifferencePieces(text, other), colours.difference);
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

void OnNotify(CEventView& view, HWND dialog, const NMHDR& header)
{
    if (header.idFrom != IDC_UPDATE_LIST || header.code != LVN_COLUMNCLICK) return;
    SortByColumn(view, dialog, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
}

INT_PTR HandleMessage(CEventView& view, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: CreateColumns(view, dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_UPDATE_REFRESH: Refresh(view, dialog); break;
        case IDC_UPDATE_CLEAR: ClearShown(view, dialog); break;
        case IDCANCEL: Close(view, dialog); break;
        default: break;
        }
        return 0;
    case WM_CLOSE: Close(view, dialog); return 0;
    case WM_NOTIFY: OnNotify(view, dialog, *reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID == IDC_UPDATE_LIST && draw.CtlType == ODT_LISTVIEW) DrawRow(view.m_update, draw);
        return 0;
    }
    case WM_SIZE: Layout(dialog, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_DESTROY: Save(view, dialog); return 0;
    default: return 0;
    }
}

}  // namespace

HWND CreateUpdateDialog(CEventView& view, IProfile& profile)
{
    UpdateDialogState& state = view.m_update;
    // The template's list view is made before WM_INITDIALOG: its class must exist already.
    InitListViewClasses();
    state.m_hUpdateDlg = CreateDialogParamA(view.m_hInstance, MAKEINTRESOURCEA(IDD_UPDATE_DIALOG), view.m_hWnd,
                                            UpdateDialogProc, 0);
    if (!state.m_hUpdateDlg) return nullptr;
    state.m_updateShown = ReadSetting(profile, kSectionUpdateDialog, kUpdateFixed);
    if (state.m_updateShown)
        PostMessageA(state.m_hUpdateDlg, WM_COMMAND, IDC_UPDATE_REFRESH, 0);
    else
        ShowWindow(state.m_hUpdateDlg, SW_HIDE);
    return state.m_hUpdateDlg;
}

// Its WM_DESTROY saves the "UpdateDialog" section.
void DestroyUpdateDialog(CEventView& view)
{
    if (view.m_update.m_hUpdateDlg) DestroyWindow(view.m_update.m_hUpdateDlg);
    view.m_update.m_hUpdateDlg = nullptr;
}

HWND UpdateDialogWindow(const CEventView& view) { return view.m_update.m_hUpdateDlg; }

bool UpdateDialogKeptOpen(const CEventView& view) { return view.m_update.m_updateShown != 0; }

void OpenUpdateDialog(CEventView& view)
{
    const HWND dialog = view.m_update.m_hUpdateDlg;
    if (!dialog) return;
    PostMessageA(dialog, WM_COMMAND, IDC_UPDATE_REFRESH, 0);
    ShowWindow(dialog, SW_SHOW);
    view.m_update.m_updateShown = 1;
}

void RefreshUpdateDialogIfShown(CEventView& view)
{
    const HWND dialog = view.m_update.m_hUpdateDlg;
    if (!dialog || !IsWindowVisible(dialog)) return;
    PostMessageA(dialog, WM_COMMAND, IDC_UPDATE_REFRESH, 0);
    ShowWindow(dialog, SW_SHOWNA);
}

INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CEventView* view = g_eventView;
    if (!view) return 0;
    try {
        return HandleMessage(*view, dialog, message, wParam, lParam);
    } catch (...) {
        // Out of memory while refreshing or drawing: the message is dropped.
        return 0;
    }
}
