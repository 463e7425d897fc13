// The EIT handler storing a full eight-day schedule (basic and extended tables) of 50
// services from a stream: into an empty store, again with the same versions (the steady
// state of a receiver), and with every section a new version.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "support/packetizer.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

constexpr int kServices = 50;
constexpr int kDays = 8;
constexpr int kSegmentsPerDay = 8;  // three hours each
constexpr int kEventsPerSection = 4;
const BroadcastTime kFirstDay{2026, 12, 7, 0, 0, 0};

std::string Filler(const std::string& head, size_t length)
{
    std::string s = head;
    while (s.size() < length) s += " lorem ipsum";
    s.resize(length);
    return s;
}

Bytes BasicDescriptors(int index)
{
    Bytes d = ShortEventDescriptor(Raw(Filler("PROGRAMME " + std::to_string(index), 32)),
                                   Raw(Filler("ABOUT IT", 90)));
    AppendBytes(d, ComponentDescriptor(index % 3 == 0 ? 0xB3 : 0xB1));
    AppendBytes(d, AudioComponentDescriptor(0x03));
    AppendBytes(d, ContentDescriptor(static_cast<uint8_t>(index % 12)));
    return d;
}

Bytes ExtendedDescriptors(int index)
{
    std::vector<ExtendedItem> items = {
        {Raw("CAST"), Raw(Filler("NAMES", 60))},
        {Raw("STORY"), Raw(Filler("EPISODE " + std::to_string(index), 150))},
        {Raw("MUSIC"), Raw(Filler("COMPOSER", 30))},
    };
    return ExtendedEventDescriptor(0, 0, items);
}

// One section per three-hour segment: four 45-minute events.
Bytes Section(uint16_t serviceId, bool extended, int day, int segment, int version)
{
    EitSection eit;
    const bool later = day >= 4;
    eit.tableId = static_cast<uint8_t>((extended ? 0x58 : 0x50) + (later ? 1 : 0));
    eit.serviceId = serviceId;
    eit.version = static_cast<uint8_t>(version);
    eit.sectionNumber = static_cast<uint8_t>((day % 4) * 64 + segment * 8);
    eit.lastSectionNumber = 0xF8;
    eit.segmentLastSectionNumber = eit.sectionNumber;
    for (int i = 0; i < kEventsPerSection; ++i) {
        EitEvent e;
        const int index = (day * kSegmentsPerDay + segment) * kEventsPerSection + i;
        e.eventId = static_cast<uint16_t>(index);
        e.start = kFirstDay;
        e.start.day += day;
        e.start.hour = segment * 3 + i * 45 / 60;
        e.start.minute = i * 45 % 60;
        e.durationSeconds = 45 * 60;
        e.descriptors = extended ? ExtendedDescriptors(index) : BasicDescriptors(index);
        eit.events.push_back(e);
    }
    return MakeEit(eit);
}

struct ScheduleStream {
    Bytes packets;
    int64_t sections = 0;
    int64_t sectionBytes = 0;
};

// A TOT, then every service's schedule, basic and extended, on the EIT PID.
ScheduleStream MakeScheduleStream(int version)
{
    ScheduleStream out;
    out.packets = MakeTotPacket({2026, 12, 7, 20, 0, 0});
    Packetizer eit(kPidEit);
    for (int service = 0; service < kServices; ++service) {
        std::vector<Bytes> sections;
        for (int day = 0; day < kDays; ++day)
            for (int segment = 0; segment < kSegmentsPerDay; ++segment)
                for (bool extended : {false, true}) {
                    sections.push_back(Section(static_cast<uint16_t>(0x0400 + service), extended, day, segment, version));
                    out.sectionBytes += static_cast<int64_t>(sections.back().size());
                }
        out.sections += static_cast<int64_t>(sections.size());
        AppendBytes(out.packets, eit.Packetize(sections));
    }
    return out;
}

const ScheduleStream& Version(int version)
{
    static const ScheduleStream first = MakeScheduleStream(1);
    static const ScheduleStream second = MakeScheduleStream(2);
    return version == 1 ? first : second;
}

void Report(benchmark::State& state, const ScheduleStream& stream, int64_t passes)
{
    state.SetItemsProcessed(passes * stream.sections);
    state.SetBytesProcessed(passes * static_cast<int64_t>(stream.packets.size()));
    state.counters["sections/s"] = benchmark::Counter(static_cast<double>(passes * stream.sections),
                                                      benchmark::Counter::kIsRate);
    state.counters["section_bytes/s"] = benchmark::Counter(static_cast<double>(passes * stream.sectionBytes),
                                                           benchmark::Counter::kIsRate);
}

void Take(StreamParser& parser, const ScheduleStream& stream)
{
    TakePackets(parser, stream.packets.data(), stream.packets.size());
}

// Every section fills an empty slot and gets its reference copy.
void BM_EitScheduleIntoEmptyStore(benchmark::State& state)
{
    const ScheduleStream& stream = Version(1);
    for (auto _ : state) {
        state.PauseTiming();
        auto parser = std::make_unique<StreamParser>();
        state.ResumeTiming();
        Take(*parser, stream);
        benchmark::ClobberMemory();
        state.PauseTiming();
        parser.reset();
        state.ResumeTiming();
    }
    Report(state, stream, static_cast<int64_t>(state.iterations()));
}

// The schedule's carousel repeating itself: stored again in place, nothing counted.
void BM_EitScheduleRepeated(benchmark::State& state)
{
    const ScheduleStream& stream = Version(1);
    auto parser = std::make_unique<StreamParser>();
    Take(*parser, stream);
    for (auto _ : state) {
        Take(*parser, stream);
        benchmark::ClobberMemory();
    }
    Report(state, stream, static_cast<int64_t>(state.iterations()));
}

// Every section a new version of what its slot holds.
void BM_EitScheduleNewVersions(benchmark::State& state)
{
    auto parser = std::make_unique<StreamParser>();
    Take(*parser, Version(1));
    int version = 2;
    for (auto _ : state) {
        Take(*parser, Version(version));
        version = 3 - version;
        benchmark::ClobberMemory();
    }
    Report(state, Version(1), static_cast<int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_EitScheduleIntoEmptyStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EitScheduleRepeated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EitScheduleNewVersions)->Unit(benchmark::kMillisecond);
