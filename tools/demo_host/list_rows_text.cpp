#include "list_rows_text.h"

#include <commctrl.h>

namespace {

constexpr char kPluginWindowClass[] = "Moxel_LumaraList_Class";
constexpr int kListControlId = 1011;
constexpr int kColumns = 3;
constexpr int kCodePageShiftJis = 932;

struct FindContext {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND hwnd, LPARAM context)
{
    auto& find = *reinterpret_cast<FindContext*>(context);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    if (lstrcmpA(className, kPluginWindowClass) != 0 || GetWindow(hwnd, GW_OWNER) != find.owner) return TRUE;
    find.found = hwnd;
    return FALSE;
}

std::string ItemText(HWND list, int item, int column)
{
    char text[512] = {};
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
}

}  // namespace

HWND FindPluginWindow(HWND hostWindow)
{
    FindContext find{hostWindow, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::string AnsiToUtf8(const std::string& shiftJis)
{
    if (shiftJis.empty()) return {};
    const int wide = MultiByteToWideChar(kCodePageShiftJis, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), nullptr, 0);
    std::wstring buffer(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(kCodePageShiftJis, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), buffer.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::vector<std::string> ListRowsUtf8(HWND pluginWindow)
{
    std::vector<std::string> rows;
    const HWND list = GetDlgItem(pluginWindow, kListControlId);
    if (!list) return rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        std::string line;
        for (int column = 0; column < kColumns; ++column) {
            if (column > 0) line += " | ";
            line += AnsiToUtf8(ItemText(list, item, column));
        }
        rows.push_back(line);
    }
    return rows;
}
