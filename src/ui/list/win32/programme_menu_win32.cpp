// The popup menu of a service's coming programmes (right click on a list item). The entries
// come from the core (programme_menu.h); this file builds and tracks the menu.
#include <windows.h>

#include <cstdio>
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
constexpr int kMenuOffsetX = 5;
constexpr int kMenuOffsetY = 3;

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

void CopyText(char* out, size_t capacity, const std::string& text)
{
    std::snprintf(out, capacity, "%s", text.c_str());
}

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
    CopyText(m_menuTitle, sizeof m_menuTitle, built->title);
    AppendMenuA(menu.Handle(), MF_STRING | MF_ENABLED, static_cast<UINT_PTR>(built->titleCommand), m_menuTitle);
    for (size_t n = 0; n < built->entries.size() && n < static_cast<size_t>(kMenuTextCount); ++n) {
        CopyText(m_menuTexts[n], kMenuTextChars, built->entries[n].text);
        const UINT check = built->entries[n].standardDefinition ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuA(menu.Handle(), MF_STRING | check, 0, m_menuTexts[n]);
        // Unticked: the blank mark (high definition); ticked: the SD mark.
        SetMenuItemBitmaps(menu.Handle(), static_cast<UINT>(n + 1), MF_BYPOSITION, m_hHdBitmap, m_hSdBitmap);
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu.Handle(), TPM_RIGHTBUTTON, cursor.x + kMenuOffsetX, cursor.y + kMenuOffsetY, 0, m_hWnd,
                   nullptr);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}
