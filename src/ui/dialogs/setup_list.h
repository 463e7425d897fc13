// The settings dialog's list as a plain model: which services it lists and in what order when
// it opens, the blocks of consecutive service ids that "上へ" and "下へ" move, and what OK
// writes. The dialog keeps this list; its list view shows it, step by step as it moves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/programme_store.h"

class IProfile;
class ServiceSettings;

constexpr int kSetupNameColumnWidth = 240;
constexpr int kSetupUnchecked = 1;  // state image indices of the list view's check boxes
constexpr int kSetupChecked = 2;

struct SetupItem {
    std::string name;       // item text
    uint16_t serviceId = 0; // item parameter
    int sortValue = 0;      // "Sort%d" when the dialog opened (the hidden column 1)
    bool checked = true;    // "Check%d" not 0
};

// State image of an item, and back: re-inserted items keep 1 as 1 and turn any other into 2.
inline int SetupStateImage(bool checked) { return checked ? kSetupChecked : kSetupUnchecked; }
inline bool SetupCheckedFromStateImage(int stateImage) { return stateImage != kSetupUnchecked; }

// The service name decoded and cut to 99 bytes; the service id when it has no name.
std::string SetupDisplayName(const ServiceEntry& service);

// Opening: the store's services in store order, each placed before the first listed item
// with a greater "Sort%d" value, so equal values keep store order. A service whose name is
// already listed gets no item (and OK writes nothing for it). The settings are read ahead
// (service_settings.h); a service not read gets the defaults. Reads no file.
std::vector<SetupItem> FillSetupList(const ProgrammeStore& store, const ServiceSettings& settings);

// The run of consecutive service ids (each one more than the one above) around a position.
struct SetupBlock {
    int top = 0;
    int bottom = 0;
};
SetupBlock FindSetupBlock(const std::vector<SetupItem>& items, int position);

enum class SetupMoveDirection { Up, Down };

// A block move as list-view steps: `count` times take the item at `from`, delete it and
// insert it at `to` (the moving block keeps its inner order). count 0: nothing moves.
struct SetupBlockMove {
    int from = 0;
    int to = 0;
    int count = 0;
    int selectedAfter = -1;  // the selected item's position afterwards
};

// "上へ" moves the selected item's block above the block over it; "下へ" moves the block under
// it above it. Nothing moves without a selection or at the top / bottom.
SetupBlockMove PlanSetupMove(const std::vector<SetupItem>& items, int selected, SetupMoveDirection direction);
void ApplySetupMove(std::vector<SetupItem>& items, const SetupBlockMove& move);
// Whether step `step` (0 .. count - 1) re-inserts the selected item, which is then selected
// again: the item lands where the selection ends. An item that is not re-inserted keeps its
// selection.
bool SetupStepSelects(const SetupBlockMove& move, int step);

// OK: for each item in list order i = 0, 1, ...: "Check%d" 1 or 0 and "Sort%d" i.
void WriteSetupChoices(IProfile& settings, const std::vector<SetupItem>& items);
