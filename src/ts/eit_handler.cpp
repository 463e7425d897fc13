// Event Information Table (ARIB STD-B10 5.2.7): which sections enter the store and
// where. Sections are kept whole; the readers walk their events later. The hand-off to the
// change detection is the slots' versionChanges, the reference copies in scheduleOriginal
// and the parser's dirty flag.
#include <cstring>

#include "store/programme_store.h"
#include "broadcast/byte_reader.h"
#include "ts/eit_day_change.h"
#include "ts/stream_parser.h"
#include "ts/table_handlers.h"

namespace {

constexpr uint8_t kPresentFollowingActual = 0x4E;
constexpr uint8_t kScheduleBasicActual = 0x50;
constexpr uint8_t kScheduleBasicActualLater = 0x51;
constexpr uint8_t kScheduleExtendedActual = 0x58;
constexpr uint8_t kScheduleExtendedActualLater = 0x59;
constexpr uint8_t kScheduleBasicOther = 0x60;
constexpr uint8_t kScheduleBasicOtherLater = 0x61;
constexpr uint8_t kScheduleExtendedOther = 0x68;
constexpr uint8_t kScheduleExtendedOtherLater = 0x69;
// Header through last_table_id plus CRC_32: such a section carries no event.
constexpr int kEventlessSectionLength = 15;
// Second table of a schedule (0x51, 0x59, 0x61, 0x69): days five to eight.
constexpr int kSecondTableSlots = 256;
constexpr int kVersionOffset = 5;
// Each accepted day change empties the stored schedule's last day, so after eight of them
// every schedule slot is empty and the next test of the section finds nothing to compare.
// Stopping at a ninth states that termination outright, whatever the stored sections hold.
constexpr int kMaxDayChangesPerSection = kScheduleSlots / kSlotsPerDay;

struct EitHeader {
    uint8_t tableId = 0;
    int sectionLength = 0;
    uint16_t serviceId = 0;
    uint8_t version = 0;
    uint8_t sectionNumber = 0;
};

struct Target {
    SectionSlot* slot = nullptr;      // null: the section has no slot
    SectionSlot* original = nullptr;  // reference copy of a basic schedule slot
    bool schedule = false;            // schedule tables are subject to the day change
};

bool IsAcceptedTable(uint8_t tableId)
{
    switch (tableId) {
    case kPresentFollowingActual:
    case kScheduleBasicActual:
    case kScheduleBasicActualLater:
    case kScheduleExtendedActual:
    case kScheduleExtendedActualLater:
    case kScheduleBasicOther:
    case kScheduleBasicOtherLater:
    case kScheduleExtendedOther:
    case kScheduleExtendedOtherLater: return true;
    default: return false;
    }
}

bool ReadHeader(const uint8_t* section, int length, EitHeader& h)
{
    ByteReader r(section, length > 0 ? static_cast<size_t>(length) : 0);
    h.tableId = r.U8();
    h.sectionLength = r.Length12();
    h.serviceId = r.U16();
    h.version = static_cast<uint8_t>(r.U8() >> 1 & 0x1F);
    h.sectionNumber = r.U8();
    return r.Ok() && h.sectionLength + 3 <= length;
}

Target ChooseSlot(ServiceEntry& s, const EitHeader& h)
{
    const int n = h.sectionNumber;
    switch (h.tableId) {
    case kPresentFollowingActual:
        if (n > 1) return {};
        return {&s.presentFollowing[n], nullptr, false};
    case kScheduleBasicActual:
    case kScheduleBasicOther: return {&s.schedule[n], &s.scheduleOriginal[n], true};
    case kScheduleBasicActualLater:
    case kScheduleBasicOtherLater:
        return {&s.schedule[kSecondTableSlots + n], &s.scheduleOriginal[kSecondTableSlots + n], true};
    case kScheduleExtendedActual:
    case kScheduleExtendedOther: return {&s.scheduleExtended[n], nullptr, true};
    case kScheduleExtendedActualLater:
    case kScheduleExtendedOtherLater: return {&s.scheduleExtended[kSecondTableSlots + n], nullptr, true};
    default: return {};
    }
}

// A slot that is empty counts as holding another version.
bool IsNewVersion(const SectionSlot& slot, uint8_t version)
{
    if (!slot.data || slot.length <= kVersionOffset) return true;
    return (slot.data[kVersionOffset] >> 1 & 0x1F) != version;
}

void StoreInTarget(StreamParser& parser, const Target& target, const uint8_t* section, const EitHeader& h)
{
    SectionSlot& slot = *target.slot;
    const bool wasEmpty = !slot.data || slot.length == 0;
    const bool newVersion = IsNewVersion(slot, h.version);
    // Counted only once the copy is held, so a count never announces a section the slot
    // does not have.
    if (!StoreSection(slot, section, static_cast<size_t>(h.sectionLength) + 3)) return;
    slot.crcChecked = 1;  // handlers see only sections whose CRC the intake checked
    if (!newVersion) return;
    ++slot.versionChanges;
    parser.store.dirty = 1;
    if (target.original && wasEmpty) StoreSection(*target.original, section, slot.length);
}

}  // namespace

void HandleEitSection(StreamParser& parser, const uint8_t* section, int length)
{
    EitHeader h;
    if (!section || !ReadHeader(section, length, h)) return;
    if (!IsAcceptedTable(h.tableId)) return;
    const int index = FindOrAddService(parser.store, h.serviceId);
    if (index == kNoService) return;
    if (h.sectionLength <= kEventlessSectionLength) return;
    ServiceEntry& service = *parser.store.services[index];
    const size_t total = static_cast<size_t>(h.sectionLength) + 3;
    Target target;
    for (int dayChanges = 0;; ++dayChanges) {
        target = ChooseSlot(service, h);
        if (!target.slot) return;
        if (!target.schedule) break;
        const DayChange change = RunDayChange(parser, *target.slot, section, total);
        if (change == DayChange::None) break;
        if (change == DayChange::Discarded || dayChanges == kMaxDayChangesPerSection) return;
    }
    StoreInTarget(parser, target, section, h);
}

// An equal section would find its slot as the handler does, pass the day-change test (same
// first event), count no version and leave dirty and the reference copy alone: the handler
// would change nothing, and the stored copy, checked when it came in, vouches for its CRC.
bool IsStoredEitSection(StreamParser& parser, const uint8_t* section, int length)
{
    EitHeader h;
    if (!ReadHeader(section, length, h) || !IsAcceptedTable(h.tableId)) return false;
    if (h.sectionLength <= kEventlessSectionLength || h.sectionLength + 3 != length) return false;
    const int index = FindService(parser.store, h.serviceId);
    if (index == kNoService) return false;
    const SectionSlot* slot = ChooseSlot(*parser.store.services[index], h).slot;
    return slot && slot->crcChecked && slot->data && slot->length == length &&
           std::memcmp(slot->data, section, static_cast<size_t>(length)) == 0;
}
