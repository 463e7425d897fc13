// What the plug-in's list shows, read back through the list control's messages, and
// pictures of its windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The plug-in's main window: a window of the plug-in's class owned by the host's window.
HWND FindPluginWindow(HWND hostWindow);

// One line per list item, its three columns separated by " | ", in UTF-8.
std::vector<std::string> ListRowsUtf8(HWND pluginWindow);

std::string AnsiToUtf8(const std::string& shiftJis);
