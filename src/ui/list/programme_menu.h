// The popup menu of a service's coming programmes (right click on a list item): a title
// entry that tunes to the row's service, then up to 10 programmes with their times and an SD
// mark for standard-definition video.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ProgrammeStore;

constexpr int kMenuTitleBytes = 80;
// The window's entry buffers: room for 20 texts of 200 bytes, of which the scan fills 10.
constexpr int kMenuTextCount = 20;
constexpr int kMenuTextChars = 200;

struct ProgrammeMenuEntry {
    // "%02d:%02d～%02d:%02d：%s"; "%02d:%02d～：%s" for an undefined duration, the name alone
    // for an undefined start.
    std::string text;
    bool standardDefinition = false;  // shown ticked, with the SD mark
};

struct ProgrammeMenu {
    std::string title;     // "［%s］%s" with "- 選局" unless tuning or recording
    int titleCommand = 0;  // WM_COMMAND id of the title entry; 0: none (recording)
    std::vector<ProgrammeMenuEntry> entries;  // 1 to 10, in time order
};

// Start and end clock of an event from its BCD fields (start_time, duration), without any
// time-zone conversion: 23:30 lasting 1:45 ends at 01:15.
struct ProgrammeClock {
    int startHour = 0;
    int startMinute = 0;
    int endHour = 0;
    int endMinute = 0;
};
ProgrammeClock ProgrammeClockOf(const uint8_t* times);

// component_type non-zero with high nibble 0x0 or 0xA: standard-definition video.
bool IsStandardDefinition(uint8_t componentType);

// The menu for list row rowIndex showing column0Text, whose service id is serviceId.
// tuning: a tuning request is in progress. Nothing when rowIndex is negative, the store has
// no such service, or no coming programme has a name. now: the system clock.
std::optional<ProgrammeMenu> BuildProgrammeMenu(const ProgrammeStore& store, int rowIndex, uint16_t serviceId,
                                                const char* column0Text, bool tuning, bool recording, int64_t now);

// Copies the title and the entries' texts into the window's buffers, each cut to fit, and
// returns how many entries were written: the menu shows those.
int WriteMenuTexts(const ProgrammeMenu& menu, char (&title)[kMenuTitleBytes],
                   char (&texts)[kMenuTextCount][kMenuTextChars]);

// Where the menu opens: 5 pixels right of and 3 below the cursor.
struct MenuPosition {
    int x = 0;
    int y = 0;
};
MenuPosition ProgrammeMenuPosition(int cursorX, int cursorY);
