// The main window's calls into its companion windows, each served by the window's own file.
#include "ui/dialogs/win32/companion_hooks.h"

#include "changelog/win32/update_dialog.h"
#include "ui/dialogs/win32/details_popup.h"
#include "ui/dialogs/win32/settings_dialog.h"

HWND CreateUpdateDialog(CEventView& view) { return CreateUpdateInformationDialog(view); }

HWND CreateDetailsPopup(CEventView& view) { return CreateDetailsPopupWindow(view); }

void ShowProgrammeDetails(CEventView& view, int column, int rowIndex, int item, int userClick, const char* titleText,
                          const char* nameText)
{
    ShowPopupDetails(view, column, rowIndex, item, userClick, titleText, nameText);
}

void HidePopup(CEventView& view) { HideDetailsPopup(view); }

void RunSettingsDialog(CEventView& view) { RunSettings(view); }
