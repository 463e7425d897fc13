#include "ui/win32/list_view.h"

#include <commctrl.h>

#include <vector>

int ItemRowIndex(HWND list, int item)
{
    if (!list || item < 0) return -1;
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return -1;
    return static_cast<int>(lv.lParam);
}

std::vector<int> ItemRowIndices(HWND list)
{
    const int items = list ? ListView_GetItemCount(list) : 0;
    std::vector<int> itemRows;
    for (int item = 0; item < items; ++item) itemRows.push_back(ItemRowIndex(list, item));
    return itemRows;
}

std::string ItemText(HWND list, int item, int column, int maxChars)
{
    std::vector<char> buffer(static_cast<size_t>(maxChars) + 1, '\0');
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = buffer.data();
    lv.cchTextMax = maxChars + 1;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
    buffer.back() = '\0';
    return buffer.data();
}

void WriteListItems(HWND list, const ListUpdate& update)
{
    for (size_t i = 0; i < update.items.size(); ++i) {
        const ListItemTexts& texts = update.items[i];
        LVITEMA lv = {};
        lv.mask = LVIF_TEXT | LVIF_PARAM;
        lv.iItem = static_cast<int>(i);
        lv.pszText = const_cast<char*>(texts.column[0].c_str());
        lv.lParam = texts.rowIndex;
        SendMessageA(list, texts.insert ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
        for (int column = 1; column < 3; ++column) {
            LVITEMA sub = {};
            sub.iSubItem = column;
            sub.pszText = const_cast<char*>(texts.column[column].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
        }
    }
}

void DeleteSurplusItems(HWND list, const ListUpdate& update)
{
    const int kept = static_cast<int>(update.items.size());
    for (int n = kept + update.surplusItems - 1; n >= kept; --n) SendMessageA(list, LVM_DELETEITEM, n, 0);
}

void InitListViewClasses()
{
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

void InsertTextColumn(HWND list, int index, const char* title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}
