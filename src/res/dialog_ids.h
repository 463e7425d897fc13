// Resource and control ids of the three secondary windows: the update-information dialog,
// the details popup and the settings dialog. Shared by their templates and their code.
#pragma once

// Update-information dialog.
#define IDD_UPDATE_DIALOG 102
#define IDC_UPDATE_CLEAR 103
#define IDC_UPDATE_LIST 104
// Posted by the main window; no control has this id.
#define IDC_UPDATE_REFRESH 105

// Details popup. Buttons 1 and 2 are "選局" and "×".
#define IDD_DETAILS_POPUP 106
#define IDC_POPUP_NAME 1014
#define IDC_POPUP_TIMES 1015
#define IDC_POPUP_TEXT 1016
#define IDC_POPUP_TUNE 1
#define IDC_POPUP_CLOSE 2
// Its timer, every kPopupTimerMs.
#define IDT_POPUP 2001

// Settings dialog.
#define IDD_SETTINGS_DIALOG 107
#define IDC_SETUP_LIST 1018
#define IDC_SETUP_UP 1019
#define IDC_SETUP_DOWN 1020
