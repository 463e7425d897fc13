// Event cache save and load, and the change-detection pass, over a full store: 50 services
// with eight days of basic and extended schedule (one section per three-hour segment, three
// or four events each with short event, extended event, component, content and audio
// component descriptors) and present/following sections.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "store/event_cache.h"
#include "store/programme_store.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

constexpr int kSegments = 64;  // eight days of eight three-hour segments

std::string Text(const char* stem, int n, size_t size)
{
    std::string s = std::string(stem) + " " + std::to_string(n) + " ";
    while (s.size() < size) s += "\x30\x21\x30\x22\x30\x23";  // two-byte kanji rows, as broadcast
    s.resize(size);
    return s;
}

Bytes EventDescriptors(int n, bool retitled)
{
    Bytes d = ShortEventDescriptor(Raw(Text(retitled ? "Special" : "Programme", n, 32)), Raw(Text("About", n, 120)));
    std::vector<ExtendedItem> items = {{Raw(Text("Cast", n, 8)), Raw(Text("Names", n, 90))},
                                       {Raw(Text("Story", n, 8)), Raw(Text("Plot", n, 110))}};
    for (const Bytes& more : {ExtendedEventDescriptor(0, 0, items), ComponentDescriptor(0xB3), ContentDescriptor(0x7, 1),
                              AudioComponentDescriptor(0x03)})
        d.insert(d.end(), more.begin(), more.end());
    return d;
}

Bytes Segment(uint16_t serviceId, uint8_t tableId, int segment, uint8_t version, bool retitled)
{
    EitSection eit;
    eit.tableId = tableId;
    eit.serviceId = serviceId;
    eit.version = version;
    eit.sectionNumber = static_cast<uint8_t>(segment * 8 % 256);
    int events = 3 + segment % 2;
    int minutes = 180 / events;
    for (int e = 0; e < events; ++e) {
        BroadcastTime start{2026, 12, 7 + segment / 8, (segment % 8) * 3, 0, 0};
        start.hour += e * minutes / 60;
        start.minute = e * minutes % 60;
        eit.events.push_back({static_cast<uint16_t>(segment * 4 + e), start, minutes * 60, 0,
                              EventDescriptors(segment * 4 + e, retitled && e == 1)});
    }
    return MakeEit(eit);
}

void Store(SectionSlot& slot, const Bytes& section)
{
    StoreSection(slot, section.data(), section.size());
}

// Fills the store as the EIT handler leaves it: every basic section has its reference copy.
void FillStore(StreamParser& parser, uint8_t version, bool retitled)
{
    for (int i = 0; i < kMaxServices; ++i) {
        uint16_t id = static_cast<uint16_t>(0x0400 + i * 8);
        ServiceEntry& e = *parser.store.services[FindOrAddService(parser.store, id)];
        for (int seg = 0; seg < kSegments; ++seg) {
            int slot = seg * 8;
            uint8_t basic = slot < 256 ? 0x50 : 0x51;
            Store(e.schedule[slot], Segment(id, basic, seg, version, retitled));
            Store(e.scheduleOriginal[slot], Segment(id, basic, seg, version, false));
            Store(e.scheduleExtended[slot], Segment(id, uint8_t(basic + 8), seg, version, false));
        }
        Store(e.presentFollowing[0], Segment(id, 0x4E, 0, version, false));
        Store(e.presentFollowing[1], Segment(id, 0x4E, 1, version, false));
    }
}

StreamParser& FullStore()
{
    static StreamParser* parser = [] {
        PinJapanTime();
        auto* p = new StreamParser();
        FillStore(*p, 0, false);
        return p;
    }();
    return *parser;
}

const std::string& TempDir()
{
    static std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/lumara_bench_XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            for (const char* name : {"/cache.dat", "/cache.dat.tmp", "/load.dat", "/changes.upd"})
                std::remove((dir + name).c_str());
            rmdir(dir.c_str());
        });
        return pattern;
    }();
    return dir;
}

long FileSize(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    return size;
}

void BM_SaveEventCache(benchmark::State& state)
{
    StreamParser& parser = FullStore();
    std::string path = TempDir() + "/cache.dat";
    for (auto _ : state) benchmark::DoNotOptimize(SaveEventCache(parser.store, path.c_str()));
    long size = FileSize(path);
    state.counters["file_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_SaveEventCache)->Unit(benchmark::kMillisecond);

void BM_LoadEventCache(benchmark::State& state)
{
    std::string path = TempDir() + "/load.dat";
    SaveEventCache(FullStore().store, path.c_str());
    StreamParser parser;
    for (auto _ : state) {
        LoadEventCache(parser.store, path.c_str());
        benchmark::DoNotOptimize(parser.store.serviceCount);
    }
    if (parser.store.serviceCount != kMaxServices) state.SkipWithError("cache did not load whole");
    long size = FileSize(path);
    state.counters["file_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_LoadEventCache)->Unit(benchmark::kMillisecond);

void BM_DetectNothingChanged(benchmark::State& state)
{
    StreamParser& parser = FullStore();
    ChangeLog log;
    for (auto _ : state) benchmark::DoNotOptimize(DetectScheduleChanges(parser.store, log, nullptr));
}
BENCHMARK(BM_DetectNothingChanged)->Unit(benchmark::kMicrosecond);

// Every basic section arrives in a new version; with state.range(0) one event per section
// is retitled, so the pass also records 3200 changes and saves the log.
void BM_DetectEveryBasicSectionChanged(benchmark::State& state)
{
    PinJapanTime();
    StreamParser parser;
    FillStore(parser, 0, false);
    std::string path = TempDir() + "/changes.upd";
    const bool retitled = state.range(0) != 0;
    std::vector<Bytes> next[kMaxServices];
    for (int i = 0; i < kMaxServices; ++i)
        for (int seg = 0; seg < kSegments; ++seg)
            next[i].push_back(Segment(parser.store.services[i]->serviceId, seg * 8 < 256 ? 0x50 : 0x51, seg, 1, retitled));
    ChangeLog log;
    size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        log.Clear();
        for (int i = 0; i < kMaxServices; ++i) {
            ServiceEntry& e = *parser.store.services[i];
            for (int seg = 0; seg < kSegments; ++seg) {
                SectionSlot& slot = e.schedule[seg * 8];
                Store(e.scheduleOriginal[seg * 8], Segment(e.serviceId, 0x50, seg, 0, false));
                Store(slot, next[i][size_t(seg)]);
                slot.versionChanges = 1;
            }
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(DetectScheduleChanges(parser.store, log, path.c_str()));
        records = log.Count();
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_DetectEveryBasicSectionChanged)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
