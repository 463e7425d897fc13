// The main window's fixed identifiers and texts, named once for the plug-in object and the
// window (the dialog template repeats the caption; the secondary windows' ids are in
// dialog_ids.h, which their templates share).
#pragma once

#include <windows.h>

#include "ui/list/list_click.h"

constexpr int kListControlId = 1011;

// System-menu and window commands of the main window.
constexpr UINT kCmdShowUpdates = kShowUpdatesCommand;
constexpr UINT kCmdClearProgrammes = 1013;
constexpr UINT kCmdSettings = 1017;

constexpr const char* kMenuClearProgrammes = "番組情報をクリアする(&C)";
constexpr const char* kMenuSettings = "設定(&S)";
constexpr const char* kMenuShowUpdates = "更新情報の表示(&U)";

constexpr const char* kClearQuestion = "全ての番組情報データを削除します。\r\nよろしいですか？";
constexpr const char* kMainCaption = "ルマーラ";
constexpr const char* kSettingsDebugLine = "IDM_SETUP\r\n";

// The host's tray window takes the close notification: WM_COMMAND 1011, lParam our window.
constexpr const char* kTrayWindowClass = "Moxel_TaskTray_Class";
constexpr WPARAM kTrayCloseCommand = 1011;
// Without a tray window after this many ticks the close command leaves the system menu.
constexpr int kCloseRemovalTick = 4;

// The programme menu's mark bitmaps (named resources).
constexpr const char* kSdBitmapName = "IDR_SDBMP";
constexpr const char* kHdBitmapName = "IDR_HDBMP";
