#include "xmltv_programmes.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "sjis_utf8.h"
#include "store/event_entry.h"
#include "store/service_entry.h"
#include "broadcast/broadcast_time.h"
#include "store/programme_store.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr size_t kOriginalNetworkIdOffset = 10;  // EIT header: after transport_stream_id

bool StartUndefined(const uint8_t* t)
{
    return t[0] == 0xFF && t[1] == 0xFF && t[2] == 0xFF && t[3] == 0xFF && t[4] == 0xFF;
}

int64_t StartSeconds(const uint8_t* t)
{
    return (t[0] << 8 | t[1]) * kSecondsPerDay + Bcd(t[2]) * 3600 + Bcd(t[3]) * 60 + Bcd(t[4]);
}

int64_t DurationSeconds(const uint8_t* t) { return Bcd(t[5]) * 3600 + Bcd(t[6]) * 60 + Bcd(t[7]); }

uint16_t OriginalNetworkId(const ServiceEntry& s)
{
    auto from = [](const SectionSlot& slot) -> int {
        if (!slot.data || slot.length < kEitHeaderBytes) return -1;
        return slot.data[kOriginalNetworkIdOffset] << 8 | slot.data[kOriginalNetworkIdOffset + 1];
    };
    for (const SectionSlot& slot : s.presentFollowing)
        if (from(slot) >= 0) return static_cast<uint16_t>(from(slot));
    for (const SectionSlot& slot : s.schedule)
        if (from(slot) >= 0) return static_cast<uint16_t>(from(slot));
    return 0;
}

using ExtendedIndex = std::unordered_map<uint16_t, EventEntry>;

ExtendedIndex IndexExtended(const ServiceEntry& s)
{
    ExtendedIndex index;
    for (const SectionSlot& slot : s.scheduleExtended) {
        EventCursor cursor(slot);
        EventEntry event;
        while (cursor.Next(event)) index.emplace(event.eventId, event);
    }
    return index;
}

void AddEvents(const SectionSlot& slot, const ExtendedIndex& extended, std::unordered_set<uint16_t>& seen,
               std::vector<XmltvProgramme>& out)
{
    EventCursor cursor(slot);
    EventEntry event;
    while (cursor.Next(event)) {
        if (StartUndefined(event.times) || !seen.insert(event.eventId).second) continue;
        EventDetails details;
        ReadEventDetails(event.Descriptors(), details);
        if (details.items.empty())
            if (auto it = extended.find(event.eventId); it != extended.end())
                ReadExtendedItems(it->second.Descriptors(), details.items);
        XmltvProgramme p;
        p.title = ShiftJisToXmlUtf8(details.title);
        if (p.title.empty()) continue;  // XMLTV has no programme without a title
        p.eventId = event.eventId;
        p.start = StartSeconds(event.times);
        if (!DurationUndefined(event.times)) p.stop = p.start + DurationSeconds(event.times);
        p.desc = JoinDescription(details);
        p.genre = details.genre;
        p.videoComponent = details.videoComponent;
        out.push_back(std::move(p));
    }
}

}  // namespace

std::string XmltvChannelId(uint16_t serviceId, uint16_t originalNetworkId)
{
    return std::to_string(serviceId) + "." + std::to_string(originalNetworkId) + ".isdb";
}

std::string XmltvTime(int64_t broadcastSeconds)
{
    const int64_t day = broadcastSeconds / kSecondsPerDay;
    const int64_t second = broadcastSeconds % kSecondsPerDay;
    const CalendarDate d = MjdToDate(static_cast<uint16_t>(day));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d +0900", d.year, d.month, d.day,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return buffer;
}

bool DurationUndefined(const uint8_t* times) { return times[5] == 0xFF && times[6] == 0xFF && times[7] == 0xFF; }

void TidyProgrammes(std::vector<XmltvProgramme>& programmes)
{
    std::stable_sort(programmes.begin(), programmes.end(),
                     [](const XmltvProgramme& a, const XmltvProgramme& b) { return a.start < b.start; });
    std::vector<XmltvProgramme> kept;
    for (XmltvProgramme& p : programmes) {
        if (!kept.empty() && kept.back().start == p.start) continue;
        if (!kept.empty() && kept.back().stop > p.start) kept.back().stop = p.start;
        kept.push_back(std::move(p));
    }
    programmes = std::move(kept);
}

std::string JoinDescription(const EventDetails& details)
{
    std::string desc = ShiftJisToXmlUtf8(details.text);
    for (const EventItem& item : details.items) {
        const std::string name = ShiftJisToXmlUtf8(item.name);
        const std::string text = ShiftJisToXmlUtf8(item.text);
        if (name.empty() && text.empty()) continue;
        if (!desc.empty()) desc += "\n\n";
        desc += name.empty() ? text : reinterpret_cast<const char*>(u8"【") + name + reinterpret_cast<const char*>(u8"】\n") + text;
    }
    return desc;
}

std::vector<XmltvChannel> CollectXmltv(const ProgrammeStore& store)
{
    std::vector<XmltvChannel> channels;
    for (const ServiceEntry* s : store.services) {
        if (!s) break;
        const ExtendedIndex extended = IndexExtended(*s);
        std::unordered_set<uint16_t> seen;
        XmltvChannel channel;
        for (const SectionSlot& slot : s->presentFollowing) AddEvents(slot, extended, seen, channel.programmes);
        for (const SectionSlot& slot : s->schedule) AddEvents(slot, extended, seen, channel.programmes);
        if (channel.programmes.empty()) continue;  // XMLTV wants programmes for every channel
        TidyProgrammes(channel.programmes);
        channel.id = XmltvChannelId(s->serviceId, OriginalNetworkId(*s));
        channel.name = ShiftJisToXmlUtf8(DecodeToShiftJis(s->serviceName, s->serviceNameLength));
        if (channel.name.empty()) channel.name = std::to_string(s->serviceId);
        channels.push_back(std::move(channel));
    }
    return channels;
}
