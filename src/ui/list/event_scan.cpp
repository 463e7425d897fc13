#include "ui/list/event_scan.h"

namespace {

// Sections the scan may visit before finding the programme on air, and after it. Empty
// slots count: they are the gaps of a schedule still arriving.
constexpr int kSearchBudget = 512;
constexpr int kFollowBudget = 64;

enum class SectionEnd { Walked, Switch, Limit };

class Scan {
public:
    Scan(const ServiceEntry& service, int64_t now, int limit, IEventTaker& taker)
        : m_service(service), m_now(now), m_limit(limit), m_taker(taker)
    {
    }

    void Run()
    {
        if (m_limit <= 0) return;
        int slot = 0;
        while (m_budget > 0 && slot < kScheduleSlots) {
            SectionEnd end = Walk(m_service.schedule[slot]);
            if (end == SectionEnd::Switch) {
                // The present section stands in for this schedule section; the schedule
                // section is walked again from its start once the present one is done.
                --slot;
                end = Walk(m_service.presentFollowing[0]);
            }
            if (end == SectionEnd::Limit) return;
            --m_budget;
            ++slot;
        }
    }

private:
    static bool HoldsData(const SectionSlot& slot) { return slot.data && slot.length > 0; }

    SectionEnd Walk(const SectionSlot& section)
    {
        EventCursor cursor(section);
        EventEntry event;
        while (cursor.Next(event)) {
            const EventTimeRange times = EventTimes(event.times);
            if (m_searching && !Found(times)) {
                if (m_switchNow) return SectionEnd::Switch;
                continue;
            }
            if (m_taker.Take(event, times) >= m_limit) return SectionEnd::Limit;
        }
        return SectionEnd::Walked;
    }

    // While searching: true when the event ends the search (it is then taken).
    bool Found(const EventTimeRange& times)
    {
        m_switchNow = false;
        if (m_now < times.start && !m_switched) {
            if (HoldsData(m_service.presentFollowing[0])) {
                m_switched = true;
                m_switchNow = true;
                return false;
            }
            StopSearching();
            return true;
        }
        if (m_now < times.end) {
            StopSearching();
            return true;
        }
        return false;
    }

    void StopSearching()
    {
        m_searching = false;
        m_budget = kFollowBudget;
    }

    const ServiceEntry& m_service;
    int64_t m_now;
    int m_limit;
    IEventTaker& m_taker;
    bool m_searching = true;
    bool m_switched = false;
    bool m_switchNow = false;
    int m_budget = kSearchBudget;
};

}  // namespace

void ScanEvents(const ServiceEntry& service, int64_t now, int limit, IEventTaker& taker)
{
    Scan(service, now, limit, taker).Run();
}
