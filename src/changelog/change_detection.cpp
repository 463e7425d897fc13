#include "changelog/change_detection.h"

#include <cstring>
#include <new>

#include "changelog/change_log_file.h"
#include "changelog/event_summary.h"
#include "store/event_entry.h"
#include "store/programme_store.h"
#include "broadcast/broadcast_time.h"
#include "store/programme_store.h"

namespace {

// One version's event list, walked event by event.
class EventWalk {
public:
    explicit EventWalk(const SectionSlot& slot) : m_cursor(slot) { Advance(); }
    bool Has() const { return m_has; }
    const EventEntry& Event() const { return m_event; }
    const EventTimeRange& Times() const { return m_times; }
    void Advance()
    {
        m_has = m_cursor.Next(m_event);
        if (m_has) m_times = EventTimes(m_event.times);
    }

private:
    EventCursor m_cursor;
    EventEntry m_event;
    EventTimeRange m_times;
    bool m_has = false;
};

enum class Pairing { Added, Removed, Changed, Same };

bool SameName(const EventSnapshot& a, const EventSnapshot& b)
{
    return a.nameLength == b.nameLength && std::memcmp(a.name, b.name, a.nameLength) == 0;
}

Pairing Pair(const EventWalk& o, const EventWalk& n)
{
    if (!n.Has()) return Pairing::Removed;
    if (!o.Has()) return Pairing::Added;
    const EventTimeRange& ot = o.Times();
    const EventTimeRange& nt = n.Times();
    if (nt.end <= ot.start) return Pairing::Added;
    if (nt.start >= ot.end) return Pairing::Removed;
    if (nt.start != ot.start || nt.end != ot.end) return Pairing::Changed;
    return SameName(SnapshotOf(o.Event()), SnapshotOf(n.Event())) ? Pairing::Same : Pairing::Changed;
}

bool Record(ChangeLog& log, uint16_t serviceId, const EventSnapshot* before, const EventSnapshot* after)
{
    if ((before && before->nameLength == 0) || (after && after->nameLength == 0)) return false;
    ChangeRecord record;
    record.serviceId = serviceId;
    if (before) record.before = *before;
    if (after) record.after = *after;
    return log.Append(record);
}

void RefreshOriginal(SectionSlot& original, const SectionSlot& slot)
{
    original.versionChanges = slot.versionChanges;
    // The original's storage is reused when the copy fits; a failed copy leaves it empty.
    if (!slot.data || !slot.length || !StoreSection(original, slot.data, slot.length)) EmptySlot(original);
}

}  // namespace

int CompareSectionVersions(uint16_t serviceId, const SectionSlot& previous, const SectionSlot& current,
                           ChangeLog& log)
{
    EventWalk o(previous);
    EventWalk n(current);
    int appended = 0;
    while (o.Has() || n.Has()) {
        switch (Pair(o, n)) {
        case Pairing::Added: {
            EventSnapshot after = SnapshotOf(n.Event());
            appended += Record(log, serviceId, nullptr, &after);
            n.Advance();
            break;
        }
        case Pairing::Removed: {
            EventSnapshot before = SnapshotOf(o.Event());
            appended += Record(log, serviceId, &before, nullptr);
            o.Advance();
            break;
        }
        case Pairing::Changed: {
            EventSnapshot before = SnapshotOf(o.Event());
            EventSnapshot after = SnapshotOf(n.Event());
            appended += Record(log, serviceId, &before, &after);
            o.Advance();
            n.Advance();
            break;
        }
        case Pairing::Same:
            o.Advance();
            n.Advance();
            break;
        }
    }
    return appended;
}

bool FindScheduleChanges(const ProgrammeStore& store, ChangeLog& log, std::vector<uint16_t>* changedServices)
{
    bool appended = false;
    for (const ServiceEntry* entry : store.services) {
        if (!entry) break;
        int records = 0;
        for (int s = 0; s < kScheduleSlots; ++s) {
            const SectionSlot& slot = entry->schedule[s];
            if (slot.versionChanges == 0) continue;
            const SectionSlot& original = entry->scheduleOriginal[s];
            if (slot.data && slot.length && original.data && original.length)
                records += CompareSectionVersions(entry->serviceId, original, slot, log);
        }
        if (records == 0) continue;
        appended = true;
        if (changedServices) {
            try {
                changedServices->push_back(entry->serviceId);
            } catch (const std::bad_alloc&) {
                // The records stand; only the row marks are lost.
            }
        }
    }
    return appended;
}

void AcceptScheduleVersions(ProgrammeStore& store)
{
    for (ServiceEntry* entry : store.services) {
        if (!entry) break;
        for (int s = 0; s < kScheduleSlots; ++s) {
            SectionSlot& slot = entry->schedule[s];
            if (slot.versionChanges == 0) continue;
            slot.versionChanges = 0;
            RefreshOriginal(entry->scheduleOriginal[s], slot);
        }
    }
}

bool DetectScheduleChanges(ProgrammeStore& store, ChangeLog& log, const char* updPath,
                           std::vector<uint16_t>* changedServices)
{
    const bool appended = FindScheduleChanges(store, log, changedServices);
    AcceptScheduleVersions(store);
    if (appended && updPath) SaveChangeLog(log, updPath);
    return appended;
}
