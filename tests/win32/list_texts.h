// A list control's items read back through its messages, as any other program could.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

using ItemTexts = std::array<std::string, 3>;

inline std::string ListItemText(HWND list, int item, int column)
{
    char text[512] = {};
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
    return text;
}

inline std::vector<ItemTexts> ListItems(HWND list)
{
    std::vector<ItemTexts> items;
    if (!list) return items;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back({ListItemText(list, i, 0), ListItemText(list, i, 1), ListItemText(list, i, 2)});
    return items;
}
