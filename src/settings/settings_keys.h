// Every section and key of the settings file with its read-when-missing default. Values are
// decimal integers written with "%d". Keys read as text carry a text default (converted with
// SettingTextToInt); keys read as integers carry an integer default.
#pragma once

#include <cstdint>

// The three data files lie beside the host's executable and share this base name.
constexpr const char* kDataFileBaseName = "Moxel_LumaraList";
constexpr const char* kSettingsFileExtension = ".ini";
constexpr const char* kEventCacheFileExtension = ".dat";
constexpr const char* kChangeLogFileExtension = ".upd";
constexpr int kDataFilePathSize = 256;

// Text reads go into a buffer of this size.
constexpr int kSettingTextSize = 100;

struct TextSetting {
    const char* key;
    const char* defaultText;
};

struct IntSetting {
    const char* key;
    int defaultValue;
};

// Main window: column widths and geometry. "WindowCX"/"WindowCY" are the right and bottom
// screen coordinates here, not a width and height.
constexpr const char* kSectionLumaraList = "LumaraList";
constexpr TextSetting kMainChw = {"CHW", "120"};
constexpr TextSetting kMainNowW = {"NOWW", "400"};
constexpr TextSetting kMainNextW = {"NEXTW", "400"};
constexpr TextSetting kMainWindowX = {"WindowX", "0"};
constexpr TextSetting kMainWindowY = {"WindowY", "0"};
constexpr TextSetting kMainWindowCx = {"WindowCX", "930"};
constexpr TextSetting kMainWindowCy = {"WindowCY", "212"};
constexpr TextSetting kMainWindowMin = {"WindowMin", "0"};

// Details popup: pinned flag and geometry (width and height).
constexpr const char* kSectionPopDialog = "PopDialog";
constexpr IntSetting kPopPinned = {"Fixed", 0};
constexpr TextSetting kPopWindowX = {"WindowX", "10"};
constexpr TextSetting kPopWindowY = {"WindowY", "10"};
constexpr TextSetting kPopWindowCx = {"WindowCX", "320"};
constexpr TextSetting kPopWindowCy = {"WindowCY", "200"};

// Update-information dialog: pinned flag, geometry (width and height), column widths.
// "WindowX" defaults to empty text, so the dialog keeps its template position until the key
// has been written once.
constexpr const char* kSectionUpdateDialog = "UpdateDialog";
constexpr IntSetting kUpdatePinned = {"Fixed", 0};
constexpr TextSetting kUpdateWindowX = {"WindowX", ""};
constexpr TextSetting kUpdateWindowY = {"WindowY", "17"};
constexpr TextSetting kUpdateWindowCx = {"WindowCX", "910"};
constexpr TextSetting kUpdateWindowCy = {"WindowCY", "290"};
constexpr TextSetting kUpdateChw = {"CHW", "120"};
constexpr TextSetting kUpdateDateW = {"DATEW", "100"};
constexpr TextSetting kUpdateOldW = {"OLDW", "320"};
constexpr TextSetting kUpdateNewW = {"NEWW", "320"};

// Settings dialog: per service, keyed by the service id in decimal.
constexpr const char* kSectionSetupDialog = "SetupDialog";
constexpr const char* kSetupCheckKeyFormat = "Check%d";
constexpr const char* kSetupSortKeyFormat = "Sort%d";
constexpr int kSetupCheckDefault = 1;  // shown
constexpr int kSetupSortDefault = 50;  // after every ordered service

// Geometry chains, read in this order; the chain stops at the first empty text.
constexpr int kMainGeometryChainLength = 5;
constexpr TextSetting kMainGeometryChain[kMainGeometryChainLength] = {
    kMainWindowX, kMainWindowY, kMainWindowCx, kMainWindowCy, kMainWindowMin};
constexpr int kDialogGeometryChainLength = 4;
constexpr TextSetting kPopGeometryChain[kDialogGeometryChainLength] = {
    kPopWindowX, kPopWindowY, kPopWindowCx, kPopWindowCy};
constexpr TextSetting kUpdateGeometryChain[kDialogGeometryChainLength] = {
    kUpdateWindowX, kUpdateWindowY, kUpdateWindowCx, kUpdateWindowCy};

// "Check%d" / "Sort%d" for one service; large enough for any int.
struct ServiceKeyName {
    char text[24];
};
ServiceKeyName SetupCheckKey(int serviceId);
ServiceKeyName SetupSortKey(int serviceId);
