#include "changelog/update_view.h"

#include <cstdio>
#include <cstring>

#include "aribtext/arib_decoder.h"
#include "store/programme_store.h"
#include "broadcast/local_calendar.h"
#include "broadcast/event_text.h"

namespace {

constexpr size_t kServiceNameMaxBytes = 99;
constexpr size_t kEventNameCapacity = 200;  // decoding a record's event name

std::string DecodeServiceName(const uint8_t* raw, uint16_t rawLength)
{
    const size_t length = rawLength < kNameBytes ? rawLength : kNameBytes;
    char buffer[2 * kNameBytes + 20] = {};
    DecodeAribText(raw, length, buffer, 2 * length);
    CutShiftJis(buffer, kServiceNameMaxBytes);
    return buffer;
}

std::string DecodeEventName(const EventSnapshot& side)
{
    char buffer[kEventNameCapacity] = {};
    const size_t length = side.nameLength < kEventNameBytes ? side.nameLength : kEventNameBytes;
    DecodeAribText(side.name, length, buffer, sizeof buffer);
    return buffer;
}

std::string FormatDate(int64_t stamp)
{
    if (StartUndefined(stamp)) return {};
    const LocalCalendarTime t = LocalCalendarOf(stamp);
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d(%s)", t.year, t.month, t.day, WeekdayName(t.weekday));
    return text;
}

std::string FormatProgramme(const EventSnapshot& side)
{
    std::string text = TimeSpanText({side.start, side.end});
    if (!text.empty()) text += ' ';
    return text + DecodeEventName(side);
}

int64_t DateKey(const ChangeRecord& record)
{
    return record.before.start != 0 ? record.before.start : record.after.start;
}

template <typename T>
int Sign(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKeys(const ChangeRecord& a, const ChangeRecord& b, int column)
{
    switch (column) {
    case kUpdateServiceColumn:
        return Sign(a.serviceId, b.serviceId);
    case kUpdateDateColumn:
        return Sign(DateKey(a), DateKey(b));
    case kUpdateOldColumn:
        return Sign(std::strcmp(DecodeEventName(a.before).c_str(), DecodeEventName(b.before).c_str()), 0);
    case kUpdateNewColumn:
        return Sign(std::strcmp(DecodeEventName(a.after).c_str(), DecodeEventName(b.after).c_str()), 0);
    default:
        return 0;
    }
}

}  // namespace

UpdateNameMap BuildUpdateNameMap(const ProgrammeStore& store)
{
    UpdateNameMap names;
    int previousId = -1;
    for (int v = 0; v < kMaxServices && store.services[v]; ++v) {
        const ServiceEntry& service = *store.services[v];
        const bool consecutive = previousId + 1 == service.serviceId;
        std::string name;
        if (service.tsNameLength != 0 && !consecutive) {
            name = DecodeServiceName(service.tsName, service.tsNameLength);
        } else if (service.serviceNameLength != 0) {
            name = DecodeServiceName(service.serviceName, service.serviceNameLength);
        } else {
            char text[16];
            std::snprintf(text, sizeof text, service.channel != 0 ? "%dch" : "%d",
                          service.channel != 0 ? service.channel : service.serviceId);
            name = text;
        }
        names[service.serviceId] = name;
        previousId = service.serviceId;
    }
    return names;
}

UpdateListItem MakeUpdateListItem(const ChangeRecord& record, size_t recordIndex, const UpdateNameMap& names)
{
    UpdateListItem item;
    item.recordIndex = recordIndex;
    const auto name = names.find(record.serviceId);
    if (name != names.end()) {
        item.column[kUpdateServiceColumn] = name->second;
    } else {
        char text[16];
        std::snprintf(text, sizeof text, "%dch", record.serviceId);
        item.column[kUpdateServiceColumn] = text;
    }
    if (record.before.start != 0) {
        item.column[kUpdateDateColumn] = FormatDate(record.before.start);
        item.column[kUpdateOldColumn] = FormatProgramme(record.before);
    }
    if (record.after.start != 0) {
        if (item.column[kUpdateDateColumn].empty()) item.column[kUpdateDateColumn] = FormatDate(record.after.start);
        item.column[kUpdateNewColumn] = FormatProgramme(record.after);
    }
    for (std::string& text : item.column)
        if (text.size() > kUpdateCellTextBytes) text.resize(kUpdateCellTextBytes);
    return item;
}

std::vector<UpdateListItem> BuildUpdateList(const ChangeLog& log, const ProgrammeStore* store)
{
    const UpdateNameMap names = store ? BuildUpdateNameMap(*store) : UpdateNameMap{};
    std::vector<UpdateListItem> items;
    items.reserve(log.Count());
    for (size_t n = 0; n < log.Count(); ++n) items.push_back(MakeUpdateListItem(log[n], n, names));
    return items;
}

void FlipSortDirection(UpdateSortDirections& directions, int column)
{
    if (column >= 0 && column < kUpdateColumnCount) directions.flag[column] = directions.flag[column] ? 0 : 1;
}

int CompareChangeRows(const ChangeLog& log, intptr_t lParam1, intptr_t lParam2, int column,
                      const UpdateSortDirections& directions)
{
    const auto count = static_cast<intptr_t>(log.Count());
    if (lParam1 < 0 || lParam1 >= count || lParam2 < 0 || lParam2 >= count) return 0;
    if (column < 0 || column >= kUpdateColumnCount) return 0;
    const int s = CompareKeys(log[static_cast<size_t>(lParam1)], log[static_cast<size_t>(lParam2)], column);
    return directions.flag[column] == 1 ? s : -s;
}

size_t ClearShownChanges(ChangeLog& log, int shownItems)
{
    if (shownItems <= 0) return 0;
    const size_t removed = static_cast<size_t>(shownItems) < log.Count() ? static_cast<size_t>(shownItems) : log.Count();
    log.RemoveFirst(removed);
    return removed;
}
