#include "ui/list/list_items.h"

#include <cstdio>
#include <utility>

#include "broadcast/broadcast_time.h"
#include "ui/list/local_clock.h"

namespace {

// component_type high nibble 0xB and above: a high-definition video format.
bool IsHighDefinition(uint8_t componentType)
{
    return componentType != 0 && (componentType >> 4) >= 0xB;
}

std::string TimedTitle(const ProgrammeSlot& slot)
{
    if (StartUndefined(slot.start)) return slot.title;
    const LocalClockTime clock = LocalClockOf(slot.start);
    char text[8 + kRowTitleBytes];
    std::snprintf(text, sizeof text, "%02d:%02d %s", clock.hour, clock.minute, slot.title);
    return text;
}

// Runs for the continuation mark: a row heads a run unless its service id follows the
// previous table row's.
std::string FollowingText(const ListRow& row, const ListRow& runHead)
{
    if (row.following.start != 0) return TimedTitle(row.following);
    return row.present.end >= runHead.following.end ? kContinuationMark : "";
}

}  // namespace

bool IsListed(const ListRow& row)
{
    return row.visible != 0 && (row.present.start != 0 || row.following.start != 0);
}

ListUpdate DecideListItems(const RowTable& rows, int oldItemCount)
{
    ListUpdate update;
    const ListRow* runHead = nullptr;
    for (int k = 0; k < kMaxServices && rows[k]; ++k) {
        const ListRow& row = *rows[k];
        if (k == 0 || rows[k - 1]->serviceId + 1 != row.serviceId) runHead = &row;
        if (!IsListed(row)) continue;
        ListItemTexts item;
        item.rowIndex = k;
        item.insert = static_cast<int>(update.items.size()) >= oldItemCount;
        item.column[0] = IsHighDefinition(row.present.videoComponentType) ? row.tsName : row.serviceName;
        if (row.present.start != 0) item.column[1] = TimedTitle(row.present);
        item.column[2] = FollowingText(row, *runHead);
        update.items.push_back(std::move(item));
    }
    const int listed = static_cast<int>(update.items.size());
    update.refreshPopup = listed != oldItemCount;
    update.surplusItems = oldItemCount > listed ? oldItemCount - listed : 0;
    return update;
}

std::vector<ListItemTexts> ItemsBeforeDelete(const std::vector<ListItemTexts>& shown, const ListUpdate& update)
{
    std::vector<ListItemTexts> items = update.items;
    for (size_t i = items.size(); i < shown.size(); ++i) items.push_back(shown[i]);
    return items;
}

std::string ItemColumnText(const std::vector<ListItemTexts>& items, int item, int column, int maxBytes)
{
    if (item < 0 || static_cast<size_t>(item) >= items.size() || column < 0 || column >= kListColumns) return {};
    return items[static_cast<size_t>(item)].column[column].substr(0, static_cast<size_t>(maxBytes));
}
