// The main window's calls into its companion windows: the details popup (template 106), the
// update-information dialog (template 102) and the settings dialog (template 107). The main
// window checks every handle for null, so a companion that does not exist yet is absent.
#pragma once

#include <windows.h>

class CEventView;

// Modeless, owned by the main window; created visible. Null when it could not be made.
HWND CreateUpdateDialog(CEventView& view);
HWND CreateDetailsPopup(CEventView& view);

// Shows the programme of row rowIndex in the details popup. item: the list item, or 0 when
// the row has none (then titleText and nameText stand in for the item's texts).
void ShowProgrammeDetails(CEventView& view, int column, int rowIndex, int item, int userClick,
                          const char* titleText, const char* nameText);
// Hides the popup unless it is pinned.
void HidePopup(CEventView& view);

// Runs the settings dialog modally, owned by the main window.
void RunSettingsDialog(CEventView& view);
