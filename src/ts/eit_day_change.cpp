#include "ts/eit_day_change.h"

#include <cstdio>

#include "store/event_entry.h"
#include "store/programme_store.h"
#include "broadcast/broadcast_time.h"
#include "broadcast/byte_reader.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"

namespace {

constexpr size_t kCrcBytes = 4;
constexpr size_t kTableIdOffset = 0;
constexpr size_t kServiceIdOffset = 3;
constexpr size_t kSectionNumberOffset = 6;
// A day change is taken no earlier than 23 h 50 min after the stored schedule's first
// midnight, so a broadcaster's early next-day sections cannot push today out.
constexpr int64_t kMinimumDayAge = 23 * 3600 + 50 * 60;
constexpr int64_t kSecondsPerDay = 86400;

const char kDayChangeFormat[] = "EIT 日付変更 %02d/%02d -> %02d/%02d[0x%02x][%d](%02d:%02d:%02d)\r\n";
const char kPastDataText[] = "過去のデータを受信(このデータは破棄します。)\r\n";
const char kAbnormalDataText[] = "異常なデータを受信(このデータは破棄します。)\r\n";

uint16_t MjdOf(const uint8_t* times) { return static_cast<uint16_t>(times[0] << 8 | times[1]); }

bool SameDate(const CalendarDate& a, const CalendarDate& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

void ReportDayChange(const StreamParser& parser, const CalendarDate& from, const CalendarDate& to,
                     const uint8_t* section)
{
    char line[192];
    std::snprintf(line, sizeof line, kDayChangeFormat, from.month, from.day, to.month, to.day,
                  section[kTableIdOffset], section[kSectionNumberOffset], parser.totHour, parser.totMinute,
                  parser.totSecond);
    DebugOutput(line);
}

// The TOT's date at midnight; at 23:59 the broadcaster is already sending tomorrow.
int64_t NewScheduleBase(const StreamParser& parser)
{
    int64_t base = LocalTimeStamp(parser.totYear, parser.totMonth, parser.totDay, 0, 0, 0);
    if (parser.totHour == 23 && parser.totMinute == 59) base += kSecondsPerDay;
    return base;
}

bool HoldsSection(const SectionSlot& slot) { return slot.data && slot.length != 0; }

void KeepLastOfFirstDay(SectionSlot* slots, SectionSlot& keeper)
{
    for (int j = kSlotsPerDay - 1; j >= 0; --j) {
        if (!HoldsSection(slots[j])) continue;
        MoveSlot(keeper, slots[j]);
        return;
    }
}

void ShiftDown(SectionSlot* slots)
{
    for (int i = 0; i + kSlotsPerDay < kScheduleSlots; ++i) MoveSlot(slots[i], slots[i + kSlotsPerDay]);
    for (int i = kScheduleSlots - kSlotsPerDay; i < kScheduleSlots; ++i) {
        EmptySlot(slots[i]);
        slots[i] = SectionSlot{};
    }
}

}  // namespace

const uint8_t* FirstEventTimes(const uint8_t* section, size_t length)
{
    if (!section || length < kEitHeaderBytes + kEventHeaderBytes + kCrcBytes) return nullptr;
    ByteReader events(section + kEitHeaderBytes, length - kEitHeaderBytes - kCrcBytes);
    events.Skip(2);  // event_id
    return events.Bytes(8);
}

DayChange RunDayChange(StreamParser& parser, const SectionSlot& stored, const uint8_t* section, size_t length)
{
    if (!HoldsSection(stored)) return DayChange::None;
    const uint8_t* storedTimes = FirstEventTimes(stored.data, stored.length);
    const uint8_t* newTimes = FirstEventTimes(section, length);
    // Without a first event on both sides there is no date to compare.
    if (!storedTimes || !newTimes) return DayChange::None;
    if ((stored.data[kServiceIdOffset] | stored.data[kServiceIdOffset + 1]) == 0) return DayChange::None;
    const CalendarDate storedDate = MjdToDate(MjdOf(storedTimes));
    const CalendarDate newDate = MjdToDate(MjdOf(newTimes));
    if (SameDate(storedDate, newDate)) return DayChange::None;

    ReportDayChange(parser, storedDate, newDate, section);
    if (EventTimes(storedTimes).start > EventTimes(newTimes).start) {
        DebugOutput(kPastDataText);
        return DayChange::Discarded;
    }
    if (parser.store.scheduleBase + kMinimumDayAge > parser.totTime) {
        DebugOutput(kAbnormalDataText);
        return DayChange::Discarded;
    }
    parser.store.scheduleBase = NewScheduleBase(parser);
    ShiftScheduleOneDay(parser);
    return DayChange::Shifted;
}

void ShiftScheduleOneDay(StreamParser& parser)
{
    for (ServiceEntry* service : parser.store.services) {
        if (!service) break;
        KeepLastOfFirstDay(service->schedule, service->presentFollowing[0]);
        KeepLastOfFirstDay(service->scheduleExtended, service->presentFollowing[1]);
        for (int i = 0; i < kSlotsPerDay; ++i) {
            EmptySlot(service->schedule[i]);
            EmptySlot(service->scheduleExtended[i]);
            EmptySlot(service->scheduleOriginal[i]);
        }
        ShiftDown(service->schedule);
        ShiftDown(service->scheduleExtended);
        ShiftDown(service->scheduleOriginal);
    }
}
