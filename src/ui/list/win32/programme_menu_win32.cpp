// The popup menu of a service's coming programmes (right click on a list item). The entries
// come from the core (programme_menu.h); this file builds and tracks the menu.
#include <windows.h>

#include <cstring>
#include <optional>

#include "ui/list/local_clock.h"
#include "ui/list/programme_menu.h"
#include "ui/list/win32/list_window.h"
#include "ui/win32/list_view.h"
#include "ui/win32/plugin_services.h"
#include "ts/stream_parser.h"

namespace {

constexpr int kColumn0Chars = 79;

// Owns the menu handle for the length of one right click.
class PopupMenu {
public:
    PopupMenu() : m_menu(CreatePopupMenu()) {}
    ~PopupMenu()
    {
        if (m_menu) DestroyMenu(m_menu);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU Handle() const { return m_menu; }

private:
    HMENU m_menu;
};

}  // namespace

void CListWindow::ShowProgrammeMenu(int item)
{
    const int r = ListItemRow(item);
    const ListRow* row = RowAt(m_rows, r);
    if (!row) return;
    const std::string column0 = ListItemText(item, 0, kColumn0Chars);
    const bool recording = IsRecording();
    SetForegroundWindow(m_hWnd);
    SetFocus(m_hWnd);
    PopupMenu menu;
    std::memset(m_menuTexts, 0, sizeof m_menuTexts);
    std::optional<ProgrammeMenu> built;
    m_plugin.ReadLocked([&](const LockedView& locked) {
        built = BuildProgrammeMenu(locked.parser.store, r, row->serviceId, column0.c_str(), locked.tuningInProgress,
                                   recording, SystemNow());
    });
    if (!built || !menu.Handle()) return;
    const int entries = WriteMenuTexts(*built, m_menuTitle, m_menuTexts);
    AppendMenuA(menu.Handle(), MF_STRING | MF_ENABLED, static_cast<UINT_PTR>(built->titleCommand), m_menuTitle);
    for (int n = 0; n < entries; ++n) {
        const UINT check = built->entries[static_cast<size_t>(n)].standardDefinition ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuA(menu.Handle(), MF_STRING | check, 0, m_menuTexts[n]);
        // Unticked: the blank mark (high definition); ticked: the SD mark.
        SetMenuItemBitmaps(menu.Handle(), static_cast<UINT>(n + 1), MF_BYPOSITION, m_hHdBitmap, m_hSdBitmap);
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    const MenuPosition at = ProgrammeMenuPosition(cursor.x, cursor.y);
    TrackPopupMenu(menu.Handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}
