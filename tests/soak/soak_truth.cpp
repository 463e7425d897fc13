#include "soak_truth.h"

#include <cstdio>

#include "support/arib_encoder.h"
#include "support/sjis_text.h"

namespace {

constexpr int kSegmentsPerDay = 8;
constexpr int kScanSlots = 512;       // schedule slots, eight per three-hour segment
constexpr int kSlotsPerSegment = 8;
constexpr int kScanAfterFound = 64;
constexpr size_t kNameLimit = 100;
constexpr uint8_t kAudioType = 0x03;
const char* const kContinuation = "\x81\x60";

ExpectedSide Side(const SoakProgramme& p)
{
    Bytes name = EncodeArib(p.title);
    if (name.size() > kNameLimit) name.resize(kNameLimit);
    return {p.start, p.End(), p.video, kAudioType, p.genre, name};
}

std::string Cell(const SoakProgramme& p)
{
    const BroadcastTime t = FromClock(p.start);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d ", t.hour % 100, t.minute % 100);
    return time + Utf8ToShiftJis(p.title);
}

}  // namespace

void SoakTruth::Name(uint16_t serviceId, const std::string& serviceName, const std::string& tsName)
{
    Service& service = m_services[serviceId];
    service.name = serviceName;
    service.tsName = tsName;
}

void SoakTruth::Take(const SoakSection& section)
{
    Service& service = m_services[section.serviceId];
    if (section.kind == SectionKind::Present) {
        service.present = section.events;
        service.hasPresent = true;
    } else if (section.kind == SectionKind::Basic) {
        TakeSchedule(service, section);
    }
}

// The first section numbered from a later midnight moves every service's schedule by a day;
// the last segment of the day that goes takes the place of the present section.
void SoakTruth::TakeSchedule(Service& service, const SoakSection& section)
{
    if (m_day < 0) m_day = section.day;
    if (section.day == m_day + 1) {
        const int64_t oldSlotSegment = m_day * kSegmentsPerDay + (section.segment - section.day * kSegmentsPerDay);
        if (!service.basic.count(oldSlotSegment)) {
            m_problem = "a new day's first section lands in an empty slot";
            return;
        }
        ChangeDay();
    } else if (section.day != m_day) {
        m_problem = "a schedule numbered from day " + std::to_string(section.day) + " against " + std::to_string(m_day);
        return;
    }
    Held& held = service.basic[section.segment];
    const bool wasEmpty = held.events.empty() && !service.compared.count(section.segment);
    if (wasEmpty) {
        service.compared[section.segment] = section.events;
    } else if (held.version != section.version) {
        Compare(section.serviceId, service.compared[section.segment], section.events);
        service.compared[section.segment] = section.events;
    }
    held = {section.version, section.events};
}

void SoakTruth::ChangeDay()
{
    const int64_t firstKept = (m_day + 1) * kSegmentsPerDay;
    for (auto& [id, service] : m_services) {
        for (auto it = service.basic.begin(); it != service.basic.end() && it->first < firstKept; ++it) {
            service.present = it->second.events;
            service.hasPresent = true;
        }
        service.basic.erase(service.basic.begin(), service.basic.lower_bound(firstKept));
        service.compared.erase(service.compared.begin(), service.compared.lower_bound(firstKept));
    }
    ++m_day;
    ++m_dayChanges;
}

// Two versions of a segment walked side by side, programmes paired by their times.
void SoakTruth::Compare(uint16_t serviceId, const Programmes& before, const Programmes& after)
{
    size_t o = 0, n = 0;
    while (o < before.size() || n < after.size()) {
        const SoakProgramme* old = o < before.size() ? &before[o] : nullptr;
        const SoakProgramme* now = n < after.size() ? &after[n] : nullptr;
        if (!now || (old && now->start >= old->End())) {
            m_records.push_back({serviceId, Side(*old), {}});
            ++o;
        } else if (!old || now->End() <= old->start) {
            m_records.push_back({serviceId, {}, Side(*now)});
            ++n;
        } else {
            const bool sameTimes = now->start == old->start && now->End() == old->End();
            if (!sameTimes || Side(*now).name != Side(*old).name)
                m_records.push_back({serviceId, Side(*old), Side(*now)});
            ++o;
            ++n;
        }
    }
}

std::vector<RowTexts> SoakTruth::Rows(ClockSeconds now) const
{
    std::vector<RowTexts> rows;
    for (const auto& [id, service] : m_services) {
        bool listed = false;
        RowTexts row = Row(service, now, listed);
        if (listed) rows.push_back(row);
    }
    return rows;
}

// The list's scan: the schedule in slot order (the first section of each three-hour segment),
// the first programme not yet ended is on air; one that has not begun sends the scan through
// the present section first, and then through the same slot again from its start. Once a
// programme is taken the scan goes on for at most 64 slots.
RowTexts SoakTruth::Row(const Service& service, ClockSeconds now, bool& listed) const
{
    const SoakProgramme* taken[2] = {nullptr, nullptr};
    int k = 0, budget = kScanSlots;
    bool searching = true, switched = false;
    uint8_t presentVideo = 0;
    const auto stopSearching = [&] {
        searching = false;
        budget = kScanAfterFound;
    };
    const auto walk = [&](const Programmes& events) {
        for (const SoakProgramme& e : events) {
            if (k >= 2) return false;
            if (searching) {
                if (now < e.start && !switched) {
                    switched = true;
                    if (service.hasPresent) return true;  // walk the present section instead
                    stopSearching();
                }
                if (now < e.End()) stopSearching();
                else continue;
            }
            if (k == 0) presentVideo = e.video;
            if (k == 0 && e.start > now) k = 1;
            taken[k++] = &e;
        }
        return false;
    };
    for (int slot = 0; budget > 0 && slot < kScanSlots; --budget, ++slot) {
        const auto held = slot % kSlotsPerSegment ? service.basic.end()
                                                   : service.basic.find(m_day * kSegmentsPerDay + slot / kSlotsPerSegment);
        if (held != service.basic.end() && walk(held->second.events)) {
            --slot;
            walk(service.present);
        }
        if (k >= 2) break;
    }
    listed = taken[0] || taken[1];
    RowTexts row;
    const bool highDefinition = (presentVideo >> 4) >= 0xB;
    row[0] = Utf8ToShiftJis(highDefinition && !service.tsName.empty() ? service.tsName : service.name);
    if (taken[0]) row[1] = Cell(*taken[0]);
    row[2] = taken[1] ? Cell(*taken[1]) : kContinuation;
    return row;
}
