// The companion windows are not built yet: nothing is created and the calls do nothing.
#include "ui/dialogs/win32/companion_hooks.h"

HWND CreateUpdateDialog(CEventView&) { return nullptr; }

HWND CreateDetailsPopup(CEventView&) { return nullptr; }

void ShowProgrammeDetails(CEventView&, int, int, int, int, const char*, const char*) {}

void HidePopup(CEventView&) {}

void RunSettingsDialog(CEventView&) {}
