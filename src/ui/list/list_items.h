// What the main list control shows after a rebuild: the listed rows in table order with the
// three texts of each. Items are reused in place and only the surplus is deleted, so the
// control keeps its selection and scroll position as far as the count allows.
#pragma once

#include <string>
#include <vector>

#include "ui/list/list_row.h"

// "～" in Shift-JIS: the programme goes on through the run's next programme.
constexpr const char* kContinuationMark = "\x81\x60";

constexpr int kListColumns = 3;  // the channel, "now" and "next"

struct ListItemTexts {
    int rowIndex = 0;     // the item's lParam
    bool insert = false;  // true: insert the item at its index; false: overwrite the existing item
    std::string column[kListColumns];
};

struct ListUpdate {
    std::vector<ListItemTexts> items;  // item i of the control, from 0
    // The item count changed: refresh the popup for the current service before deleting.
    bool refreshPopup = false;
    // Delete this many items from the end (indices oldItemCount - 1 down to items.size()).
    int surplusItems = 0;
};

// Whether a row has a line in the list: shown by the settings and with a programme.
bool IsListed(const ListRow& row);

// oldItemCount: the control's item count before the update.
ListUpdate DecideListItems(const RowTable& rows, int oldItemCount);

// The model beside the control from WriteListItems until the surplus is deleted: the update's
// items, then the old items the control still holds, so the popup refreshed in between reads
// what the control shows. After the delete the model is update.items.
std::vector<ListItemTexts> ItemsBeforeDelete(const std::vector<ListItemTexts>& shown, const ListUpdate& update);

// An item's text in a column, cut to maxBytes as the control would give it; empty when there
// is no such item or column.
std::string ItemColumnText(const std::vector<ListItemTexts>& items, int item, int column, int maxBytes);
