#include "ui/dialogs/setup_list.h"

#include <cstdio>

#include "aribtext/arib_decoder.h"
#include "settings/profile.h"
#include "ts/diagnostics.h"
#include "broadcast/event_text.h"
#include "ui/list/service_settings.h"

namespace {

constexpr size_t kSetupNameMaxBytes = 99;

bool IsListed(const std::vector<SetupItem>& items, const std::string& name)
{
    for (const SetupItem& item : items)
        if (item.name == name) return true;
    return false;
}

}  // namespace

std::string SetupDisplayName(const ServiceEntry& service)
{
    if (service.serviceNameLength == 0) return std::to_string(service.serviceId);
    const size_t length = service.serviceNameLength < kNameBytes ? service.serviceNameLength : kNameBytes;
    char buffer[2 * kNameBytes + 1] = {};
    DecodeAribText(service.serviceName, length, buffer, 2 * length);
    CutShiftJis(buffer, kSetupNameMaxBytes);
    return buffer;
}

std::vector<SetupItem> FillSetupList(const ProgrammeStore& store, const ServiceSettings& settings)
{
    std::vector<SetupItem> items;
    for (int v = 0; v < kMaxServices && store.services[v]; ++v) {
        const ServiceEntry& service = *store.services[v];
        SetupItem item;
        item.name = SetupDisplayName(service);
        if (IsListed(items, item.name)) continue;
        item.serviceId = service.serviceId;
        const ServiceSetting* read = settings.Find(service.serviceId);
        const ServiceSetting setting = read ? *read : ServiceSetting{};
        item.checked = setting.check != 0;
        item.sortValue = setting.sort;
        auto at = items.begin();
        while (at != items.end() && at->sortValue <= item.sortValue) ++at;
        items.insert(at, std::move(item));
    }
    return items;
}

SetupBlock FindSetupBlock(const std::vector<SetupItem>& items, int position)
{
    SetupBlock block{position, position};
    const int count = static_cast<int>(items.size());
    if (position < 0 || position >= count) return block;
    while (block.top > 0 && items[block.top - 1].serviceId + 1 == items[block.top].serviceId) --block.top;
    while (block.bottom + 1 < count && items[block.bottom].serviceId + 1 == items[block.bottom + 1].serviceId)
        ++block.bottom;
    return block;
}

SetupBlockMove PlanSetupMove(const std::vector<SetupItem>& items, int selected, SetupMoveDirection direction)
{
    SetupBlockMove move;
    const int count = static_cast<int>(items.size());
    if (selected < 0 || selected >= count) return move;
    move.selectedAfter = selected;
    const SetupBlock block = FindSetupBlock(items, selected);
    Trace("Select Channel %d～%d(%d)\r\n", block.top, block.bottom, selected);
    SetupBlock passed;  // the block the moving block passes
    SetupBlock moving;
    if (direction == SetupMoveDirection::Up) {
        if (block.top == 0) return move;
        moving = block;
        passed = FindSetupBlock(items, block.top - 1);
    } else {
        if (block.bottom == count - 1) return move;
        moving = FindSetupBlock(items, block.bottom + 1);
        passed = block;
    }
    Trace("UP/DOWN Channel %d～%d\r\n", passed.top, passed.bottom);
    move.from = moving.bottom;
    move.to = passed.top;
    move.count = moving.bottom - moving.top + 1;
    const int passedSize = passed.bottom - passed.top + 1;
    move.selectedAfter = direction == SetupMoveDirection::Up ? selected - passedSize : selected + move.count;
    return move;
}

void ApplySetupMove(std::vector<SetupItem>& items, const SetupBlockMove& move)
{
    const int count = static_cast<int>(items.size());
    if (move.from < 0 || move.from >= count || move.to < 0 || move.to >= count) return;
    for (int k = 0; k < move.count; ++k) {
        SetupItem item = std::move(items[move.from]);
        items.erase(items.begin() + move.from);
        items.insert(items.begin() + move.to, std::move(item));
    }
}

bool SetupStepSelects(const SetupBlockMove& move, int step)
{
    // Step k inserts at `to` the item that the later steps push down to to + count - 1 - k.
    return move.to + move.count - 1 - step == move.selectedAfter;
}

void WriteSetupChoices(IProfile& settings, const std::vector<SetupItem>& items)
{
    int position = 0;
    for (const SetupItem& item : items) {
        WriteProfileInt(settings, kSectionSetupDialog, SetupCheckKey(item.serviceId).text, item.checked ? 1 : 0);
        WriteProfileInt(settings, kSectionSetupDialog, SetupSortKey(item.serviceId).text, position++);
    }
}
