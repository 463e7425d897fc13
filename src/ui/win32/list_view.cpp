#include "ui/win32/list_view.h"

#include <commctrl.h>

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
        for (int column = 1; column < kListColumns; ++column) {
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
