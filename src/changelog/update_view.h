// The update-information dialog's contents: the texts of its list (one item per change
// record, in log order), the order of a column sort, and what "クリア" removes. The dialog
// window only applies them: it inserts the items, hands CompareChangeRows to the list view's
// sort, and removes what it was told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "changelog/change_log.h"

struct ProgrammeStore;

constexpr int kUpdateColumnCount = 4;
constexpr int kUpdateServiceColumn = 0;  // "CH"
constexpr int kUpdateDateColumn = 1;     // "日時"
constexpr int kUpdateOldColumn = 2;      // "元情報"
constexpr int kUpdateNewColumn = 3;      // "更新情報"
constexpr const char* kUpdateColumnHeaders[kUpdateColumnCount] = {"CH", "日時", "元情報", "更新情報"};
// The window inserts item n with column 0 and lParam, then sets the others in this order.
constexpr int kUpdateSubItemOrder[] = {kUpdateOldColumn, kUpdateNewColumn, kUpdateDateColumn};
constexpr size_t kUpdateCellTextBytes = 255;  // a text as the list holds it

// Display name of every stored service by service id, built at the start of a refresh.
using UpdateNameMap = std::map<uint16_t, std::string>;
UpdateNameMap BuildUpdateNameMap(const ProgrammeStore& store);

// One list item: its lParam (the record's index in the log) and the texts of columns 0..3,
// each cut to kUpdateCellTextBytes: the window draws them as they stand.
struct UpdateListItem {
    size_t recordIndex = 0;
    std::string column[kUpdateColumnCount];
};

UpdateListItem MakeUpdateListItem(const ChangeRecord& record, size_t recordIndex, const UpdateNameMap& names);

// Refresh (command 105): every record in log order, oldest first. The window deletes all its
// items, inserts these and scrolls the last one into view. Without a store (no parser) no
// service has a name.
std::vector<UpdateListItem> BuildUpdateList(const ChangeLog& log, const ProgrammeStore* store);

// One flag per column, 0 at construction and never saved: 1 sorts ascending.
struct UpdateSortDirections {
    int32_t flag[kUpdateColumnCount] = {};
};

// A click on a column's header flips its flag before the sort; columns outside 0..3 keep none.
void FlipSortDirection(UpdateSortDirections& directions, int column);

// The list view's comparison of two items by their lParam values (record indices) for the
// clicked column: negative, 0 or positive. Indices outside the log and unknown columns
// compare equal.
int CompareChangeRows(const ChangeLog& log, intptr_t lParam1, intptr_t lParam2, int column,
                      const UpdateSortDirections& directions);

// "クリア": removes the records the list showed (the first shownItems of the log), keeping
// those appended since the last refresh. Returns the number removed. The window then deletes
// all items and sets the main window's refresh countdown to 0.
size_t ClearShownChanges(ChangeLog& log, int shownItems);
