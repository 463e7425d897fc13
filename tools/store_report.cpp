#include "store_report.h"

#include <cstdio>

#include <ctime>

#include "aribtext/arib_decoder.h"
#include "changelog/change_log.h"
#include "store/event_entry.h"
#include "support/sjis_text.h"
#include "broadcast/broadcast_time.h"
#include "broadcast/local_time.h"
#include "ts/stream_parser.h"

namespace {

// Events come day by day: the date of the last day asked for is kept.
CalendarDate DateOf(uint16_t mjd)
{
    static uint16_t lastMjd = 0;
    static CalendarDate lastDate = MjdToDate(0);
    if (mjd != lastMjd) {
        lastMjd = mjd;
        lastDate = MjdToDate(mjd);
    }
    return lastDate;
}

std::string FormatTime(const CalendarDate& d, int hour, int minute, int second)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, hour, minute, second);
    return buffer;
}

// End of an event as a calendar time: start plus duration, carried over days by the MJD.
std::string FormatEnd(const uint8_t* t)
{
    long seconds = Bcd(t[2]) * 3600L + Bcd(t[3]) * 60L + Bcd(t[4]) + Bcd(t[5]) * 3600L + Bcd(t[6]) * 60L + Bcd(t[7]);
    uint16_t mjd = static_cast<uint16_t>((t[0] << 8 | t[1]) + seconds / 86400);
    seconds %= 86400;
    return FormatTime(DateOf(mjd), static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
}

void ReadShortEvent(const EventEntry& event, InspectEvent& out)
{
    ByteReader loop = event.Descriptors();
    Descriptor d;
    while (NextDescriptor(loop, d)) {
        if (d.tag != 0x4D) continue;  // short event descriptor (ARIB STD-B10)
        ByteReader body(d.body, d.length);
        body.Skip(3);  // ISO_639_language_code
        uint8_t nameLength = body.U8();
        const uint8_t* name = body.Bytes(nameLength);
        if (!name) return;
        out.title = AribToUtf8(name, nameLength);
        uint8_t textLength = body.U8();
        if (const uint8_t* text = body.Bytes(textLength)) out.text = AribToUtf8(text, textLength);
        return;
    }
}

void AddEvents(const SectionSlot& slot, InspectService& service)
{
    if (!slot.data || slot.length < 8) return;
    EventCursor cursor(slot);
    EventEntry event;
    while (cursor.Next(event)) {
        InspectEvent e;
        const uint8_t* t = event.times;
        e.start = FormatTime(DateOf(static_cast<uint16_t>(t[0] << 8 | t[1])), Bcd(t[2]), Bcd(t[3]), Bcd(t[4]));
        e.end = FormatEnd(t);
        e.duration = Bcd(t[5]) * 3600 + Bcd(t[6]) * 60 + Bcd(t[7]);
        e.tableId = slot.data[0];
        e.sectionNumber = slot.data[6];
        ReadShortEvent(event, e);
        service.events.push_back(std::move(e));
    }
}

int CountFilled(const SectionSlot* slots, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i) n += slots[i].data != nullptr;
    return n;
}

}  // namespace

std::string AribToUtf8(const uint8_t* raw, size_t length)
{
    char sjis[1024];
    DecodeAribText(raw, length, sjis, sizeof sjis);
    return ShiftJisToUtf8(sjis);
}

InspectReport BuildInspectReport(const StreamParser& parser)
{
    InspectReport report;
    if (parser.totYear)
        report.tot = FormatTime({parser.totYear, parser.totMonth, parser.totDay}, parser.totHour, parser.totMinute,
                                parser.totSecond);
    report.scheduleBase = parser.store.scheduleBase;
    for (const ServiceEntry* s : parser.store.services) {
        if (!s) break;
        InspectService service;
        service.serviceId = s->serviceId;
        service.channel = s->channel;
        service.remoteKeyId = s->remoteKeyId;
        service.providerName = AribToUtf8(s->providerName, s->providerNameLength);
        service.serviceName = AribToUtf8(s->serviceName, s->serviceNameLength);
        service.tsName = AribToUtf8(s->tsName, s->tsNameLength);
        service.presentFollowingSections = CountFilled(s->presentFollowing, 2);
        service.basicSections = CountFilled(s->schedule, kScheduleSlots);
        service.extendedSections = CountFilled(s->scheduleExtended, kScheduleSlots);
        for (const SectionSlot& slot : s->presentFollowing) AddEvents(slot, service);
        for (const SectionSlot& slot : s->schedule) AddEvents(slot, service);
        report.services.push_back(std::move(service));
    }
    return report;
}

void PrintReportText(const InspectReport& report)
{
    std::printf("TOT: %s\n", report.tot.empty() ? "none" : report.tot.c_str());
    std::printf("services: %zu\n", report.services.size());
    for (const InspectService& s : report.services) {
        std::printf("\nservice %u (0x%04X)  channel %u  key %u\n", s.serviceId, s.serviceId, s.channel, s.remoteKeyId);
        std::printf("  provider: %s\n  service:  %s\n  TS name:  %s\n", s.providerName.c_str(), s.serviceName.c_str(),
                    s.tsName.c_str());
        std::printf("  sections: present/following %d, schedule basic %d, extended %d\n", s.presentFollowingSections,
                    s.basicSections, s.extendedSections);
        for (const InspectEvent& e : s.events)
            std::printf("  %s - %s  [0x%02X/%3d]  %s%s%s\n", e.start.c_str(), e.end.c_str() + 11, e.tableId,
                        e.sectionNumber, e.title.c_str(), e.text.empty() ? "" : "  / ", e.text.c_str());
    }
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void PrintReportJson(const InspectReport& report, const std::string& extraFields)
{
    std::printf("{\n  \"tot\": %s,\n%s  \"services\": [", report.tot.empty() ? "null" : JsonString(report.tot).c_str(),
                extraFields.c_str());
    for (size_t i = 0; i < report.services.size(); ++i) {
        const InspectService& s = report.services[i];
        std::printf("%s\n    {\"service_id\": %u, \"channel\": %u, \"remote_key_id\": %u, \"provider_name\": %s, "
                    "\"service_name\": %s, \"ts_name\": %s,\n     \"events\": [",
                    i ? "," : "", s.serviceId, s.channel, s.remoteKeyId, JsonString(s.providerName).c_str(),
                    JsonString(s.serviceName).c_str(), JsonString(s.tsName).c_str());
        for (size_t k = 0; k < s.events.size(); ++k) {
            const InspectEvent& e = s.events[k];
            std::printf("%s\n      {\"start\": %s, \"duration\": %d, \"title\": %s, \"text\": %s, \"table_id\": %d, "
                        "\"section_number\": %d}",
                        k ? "," : "", JsonString(e.start).c_str(), e.duration, JsonString(e.title).c_str(),
                        JsonString(e.text).c_str(), e.tableId, e.sectionNumber);
        }
        std::printf("%s]}", s.events.empty() ? "" : "\n     ");
    }
    std::printf("%s]\n}\n", report.services.empty() ? "" : "\n  ");
}

std::string FormatStamp(int64_t stamp)
{
    std::tm tm{};
    if (!ToLocalTime(stamp, tm)) return "?";
    return FormatTime({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::string SnapshotText(const EventSnapshot& side)
{
    if (side.Empty()) return "(none)";
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, " - %s  video 0x%02X audio 0x%02X genre %u  ", FormatStamp(side.end).c_str() + 11,
                  side.videoType, side.audioType, side.genre);
    return FormatStamp(side.start) + buffer + AribToUtf8(side.name, side.nameLength);
}

std::string SnapshotJson(const EventSnapshot& side)
{
    if (side.Empty()) return "null";
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, ", \"video_type\": %u, \"audio_type\": %u, \"genre\": %u, \"name\": ", side.videoType,
                  side.audioType, side.genre);
    return "{\"start\": " + JsonString(FormatStamp(side.start)) + ", \"end\": " + JsonString(FormatStamp(side.end)) + buffer +
           JsonString(AribToUtf8(side.name, side.nameLength)) + "}";
}
