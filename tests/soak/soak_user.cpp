#include "soak_user.h"

#include <commctrl.h>

namespace {

// Command and control ids as the host sees them in the plug-in's windows.
constexpr UINT kCmdShowUpdatesId = 1012;
constexpr UINT kCmdSettingsId = 1017;
constexpr int kMainListId = 1011;
constexpr int kPopupTextId = 1016;
constexpr int kPopupCloseButton = 2;
constexpr int kUpdateListId = 104;
constexpr int kUpdateRefreshId = 105;
constexpr int kSetupListId = 1018;

struct OwnedSearch {
    HWND owner;
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND hwnd, LPARAM context)
{
    auto& search = *reinterpret_cast<OwnedSearch*>(context);
    if (GetWindow(hwnd, GW_OWNER) != search.owner || !GetDlgItem(hwnd, search.controlId)) return TRUE;
    search.found = hwnd;
    return FALSE;
}

void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

HWND SoakUser::Owned(int controlId) const
{
    OwnedSearch search = {m_viewer.MainWindow(), controlId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SoakUser::Notify(UINT code, int item, int column)
{
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = m_viewer.List();
    activate.hdr.idFrom = kMainListId;
    activate.hdr.code = code;
    activate.iItem = item;
    activate.iSubItem = column;
    SendMessageA(m_viewer.MainWindow(), WM_NOTIFY, kMainListId, reinterpret_cast<LPARAM>(&activate));
}

void SoakUser::Act()
{
    const HWND main = m_viewer.MainWindow();
    if (!main) return;
    const int items = static_cast<int>(SendMessageA(m_viewer.List(), LVM_GETITEMCOUNT, 0, 0));
    const int item = items > 0 ? static_cast<int>(m_dice() % static_cast<unsigned>(items)) : -1;
    const int column = static_cast<int>(m_dice() % 3);
    switch (m_dice() % 12) {
    case 0: case 1: case 2: case 3:
        if (item < 0) break;
        Notify(NM_CLICK, item, column);  // the details popup
        ++m_counts.clicks;
        break;
    case 4:
        if (item < 0 || m_dice() % 4) break;
        Notify(NM_DBLCLK, item, column);  // a tuning request the host does not carry out
        ++m_counts.doubleClicks;
        break;
    case 5: case 6:
        if (item < 0) break;
        Notify(NM_RCLICK, item, column);  // the programme menu, modal until the closer ends it
        ++m_counts.menus;
        break;
    case 7: case 8:
        if (const HWND popup = Owned(kPopupTextId); popup && IsWindowVisible(popup)) {
            Press(popup, kPopupCloseButton);
            ++m_counts.popups;
        }
        break;
    case 9: case 10:
        if (const HWND dialog = Owned(kUpdateListId); dialog && IsWindowVisible(dialog) && m_dice() % 2) {
            Press(dialog, kUpdateRefreshId);
        } else {
            SendMessageA(main, WM_SYSCOMMAND, kCmdShowUpdatesId, 0);
        }
        ++m_counts.updates;
        break;
    default:
        PostMessageA(main, WM_SYSCOMMAND, kCmdSettingsId, 0);  // modal until the closer cancels it
        ++m_counts.settings;
        break;
    }
}

UnknownDialogWatch::UnknownDialogWatch() : MessageBoxWatch(IDOK, {kMainListId, kPopupTextId, kUpdateListId, kSetupListId})
{
}
