// The main window's fixed identifiers and texts, named once for the plug-in object and the
// window (the dialog template repeats the caption; the secondary windows' ids are in
// dialog_ids.h, which their templates share). The ids a portable decision reads or returns
// are the core's, beside that decision: the tune timer 1002 (ui/list/stream_change.h), the
// "更新情報の表示" command 1012 (ui/list/list_click.h) and the tune commands 2100 + r
// (ui/list/tune_request.h).
#pragma once

#include <windows.h>

constexpr int kListControlId = 1011;
constexpr UINT_PTR kClockTimerId = 1000;  // every kClockTimerPeriodMs

// System-menu and window commands of the main window.
constexpr UINT kCmdClearProgrammes = 1013;
constexpr UINT kCmdSettings = 1017;

constexpr const char* kMenuClearProgrammes = "番組情報をクリアする(&C)";
constexpr const char* kMenuSettings = "設定(&S)";
constexpr const char* kMenuShowUpdates = "更新情報の表示(&U)";

constexpr const char* kClearQuestion = "全ての番組情報データを削除します。\r\nよろしいですか？";
constexpr const char* kMainCaption = "ルマーラ";
constexpr const char* kSettingsDebugLine = "IDM_SETUP\r\n";

// The host's tray window takes the close notification: WM_COMMAND 1011, lParam our window.
// The host's main window shows its recording text in this control; the remote-control
// window disables this one while it records.
constexpr int kHostRecordingControlId = 1012;
constexpr int kRemoteRecordingControlId = 1018;

constexpr const char* kTrayWindowClass = "Moxel_TaskTray_Class";
constexpr WPARAM kTrayCloseCommand = 1011;

// The programme menu's mark bitmaps (named resources).
constexpr const char* kSdBitmapName = "IDR_SDBMP";
constexpr const char* kHdBitmapName = "IDR_HDBMP";
