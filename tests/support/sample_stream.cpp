#include "support/sample_stream.h"

#include <cstdint>

#include "support/packetizer.h"

namespace {

struct SampleService {
    uint16_t serviceId;
    uint8_t remoteKey;
    const char* name;
};

// Two transport streams of a fictitious network; 0x0408 and 0x0409 are sub-channels.
const SampleService kServices[] = {
    {0x0400, 1, "LUMA TV"},     {0x0408, 1, "LUMA TV 2"}, {0x0410, 3, "MINATO"},
    {0x0418, 4, "SAKURA"},      {0x0420, 5, "KAWASE"},    {0x0428, 6, "HOSHI"},
};
constexpr uint16_t kNetwork = 0x7FE0;

BroadcastTime AddSeconds(BroadcastTime t, long seconds)
{
    // Plain calendar arithmetic on a day count; the sample never needs zones.
    long total = t.hour * 3600L + t.minute * 60L + t.second + seconds;
    long days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    total -= days * 86400;
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    while (days > 0) {
        int mdays = kMonthDays[t.month - 1] + (t.month == 2 && t.year % 4 == 0 ? 1 : 0);
        if (++t.day > mdays) {
            t.day = 1;
            if (++t.month > 12) t.month = 1, ++t.year;
        }
        --days;
    }
    t.hour = static_cast<int>(total / 3600);
    t.minute = static_cast<int>(total / 60 % 60);
    t.second = static_cast<int>(total % 60);
    return t;
}

Bytes ProgrammeDescriptors(const SampleService& s, int index)
{
    std::string title = std::string(s.name) + " PROGRAMME " + std::to_string(index);
    Bytes d = ShortEventDescriptor(Raw(title), Raw("ABOUT THIS PROGRAMME"));
    AppendBytes(d, ComponentDescriptor(index % 3 == 0 ? 0xB3 : 0x01));
    AppendBytes(d, AudioComponentDescriptor(0x03));
    AppendBytes(d, ContentDescriptor(static_cast<uint8_t>(index % 12)));
    return d;
}

// Programmes of one service: an hour each, aligned to the hour, from midnight of the
// first day, so every three-hour segment holds three events in its first section.
std::vector<Bytes> ServiceSchedule(const SampleService& s, const SampleStreamOptions& o)
{
    std::vector<Bytes> sections;
    BroadcastTime midnight{o.start.year, o.start.month, o.start.day, 0, 0, 0};
    for (int segment = 0; segment < o.scheduleDays * 8; ++segment) {
        EitSection basic;
        basic.tableId = segment < 32 ? 0x50 : 0x51;
        basic.serviceId = s.serviceId;
        basic.sectionNumber = static_cast<uint8_t>((segment % 32) * 8);
        basic.lastSectionNumber = 0xF8;
        basic.segmentLastSectionNumber = basic.sectionNumber;
        basic.originalNetworkId = kNetwork;
        EitSection extended = basic;
        extended.tableId = static_cast<uint8_t>(basic.tableId + 8);
        for (int h = 0; h < 3; ++h) {
            int index = segment * 3 + h;
            EitEvent e;
            e.eventId = static_cast<uint16_t>(0x1000 + index);
            e.start = AddSeconds(midnight, index * 3600L);
            e.durationSeconds = 3600;
            e.descriptors = ProgrammeDescriptors(s, index);
            basic.events.push_back(e);
            EitEvent x = e;
            x.descriptors = ExtendedEventDescriptor(0, 0, {{Raw("CAST"), Raw("SOMEONE")}});
            extended.events.push_back(x);
        }
        sections.push_back(MakeEit(basic));
        sections.push_back(MakeEit(extended));
    }
    return sections;
}

Bytes PresentFollowing(const SampleService& s, const SampleStreamOptions& o, const BroadcastTime& now, int sectionNumber)
{
    BroadcastTime hour{now.year, now.month, now.day, now.hour, 0, 0};
    EitSection pf;
    pf.tableId = 0x4E;
    pf.serviceId = s.serviceId;
    pf.sectionNumber = static_cast<uint8_t>(sectionNumber);
    pf.lastSectionNumber = 1;
    pf.originalNetworkId = kNetwork;
    EitEvent e;
    e.start = AddSeconds(hour, sectionNumber * 3600L);
    e.durationSeconds = 3600;
    int index = e.start.hour + 24 * (e.start.day != o.start.day);
    e.eventId = static_cast<uint16_t>(0x1000 + index);
    e.descriptors = ProgrammeDescriptors(s, index);
    pf.events.push_back(e);
    return MakeEit(pf);
}

struct Multiplexer {
    Packetizer nit{0x0010};
    Packetizer sdt{0x0011};
    Packetizer eit{0x0012};
};

Bytes ServiceTables(Multiplexer& mux)
{
    SdtSection sdt;
    sdt.transportStreamId = kNetwork;
    sdt.originalNetworkId = kNetwork;
    NitSection nit;
    nit.networkId = kNetwork;
    NitTransportStream ts;
    ts.transportStreamId = kNetwork;
    ts.originalNetworkId = kNetwork;
    ts.remoteKeyId = 1;
    ts.tsName = Raw("LUMA");
    for (const SampleService& s : kServices) {
        sdt.services.push_back({s.serviceId, 0x01, Raw("LUMARA NETWORK"), Raw(s.name), {}, true});
        ts.serviceIds.push_back(s.serviceId);
    }
    nit.streams.push_back(ts);
    Bytes out;
    AppendBytes(out, mux.nit.Packetize(MakeNit(nit)));
    AppendBytes(out, mux.sdt.Packetize(MakeSdt(sdt)));
    return out;
}

}  // namespace

std::vector<Bytes> MakeSampleEitSections(const SampleStreamOptions& options)
{
    std::vector<Bytes> all;
    for (const SampleService& s : kServices)
        for (Bytes& section : ServiceSchedule(s, options)) all.push_back(std::move(section));
    return all;
}

Bytes MakeSampleStream(const SampleStreamOptions& options)
{
    std::vector<Bytes> schedule = MakeSampleEitSections(options);
    Multiplexer mux;
    const int intervals = options.seconds / 5;
    size_t next = 0;
    Bytes stream;
    int totCC = 0;
    for (int i = 0; i < intervals; ++i) {
        BroadcastTime now = AddSeconds(options.start, i * 5L);
        Bytes psi = MakeTotPacket(now, totCC++);
        AppendBytes(psi, ServiceTables(mux));
        for (const SampleService& s : kServices)
            AppendBytes(psi, mux.eit.Packetize({PresentFollowing(s, options, now, 0), PresentFollowing(s, options, now, 1)}));
        // The whole schedule goes out once over the stream, in equal shares.
        size_t share = (schedule.size() + intervals - 1) / intervals;
        for (size_t k = 0; k < share && next < schedule.size(); ++k) AppendBytes(psi, mux.eit.Packetize(schedule[next++]));
        // Interleave padding after every service-information packet.
        for (size_t p = 0; p < psi.size(); p += 188) {
            stream.insert(stream.end(), psi.begin() + static_cast<long>(p), psi.begin() + static_cast<long>(p + 188));
            for (int n = 0; n < options.nullPacketsPerPsi; ++n) AppendBytes(stream, MakeNullPacket());
        }
    }
    return stream;
}
