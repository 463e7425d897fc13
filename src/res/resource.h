// Resource ids of the plug-in's dialogs, bitmaps and version information.
#pragma once

#define IDD_MAIN_WINDOW 101
