// A full store (50 services, eight days of basic and extended schedule, taken in through
// the intake): what it occupies, and the core work of the list window's one-second tick
// over it, idle and with the rows rebuilt.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>

#include "changelog/change_log.h"
#include "settings/profile.h"
#include "support/full_schedule.h"
#include "support/japan_time.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#include "ui/list/build_rows.h"
#include "ui/list/clock_tick.h"
#include "ui/list/list_items.h"
#include "ui/list/service_settings.h"
#include "support/default_profile.h"

namespace {

const Bytes& Stream()
{
    static const Bytes stream = MakeFullScheduleStream(MakeFullSchedule());
    return stream;
}

std::unique_ptr<StreamParser> TakeFullStore()
{
    PinJapanTime();
    auto parser = std::make_unique<StreamParser>();
    TakePackets(*parser, Stream().data(), Stream().size());
    return parser;
}

// Resident and peak resident set in bytes (Linux /proc).
void ReadResident(long& rss, long& peak)
{
    rss = peak = 0;
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        std::sscanf(line, "VmRSS: %ld", &rss);
        std::sscanf(line, "VmHWM: %ld", &peak);
    }
    std::fclose(f);
    rss *= 1024;
    peak *= 1024;
}

// Resets the peak resident set to the current one; false where the kernel refuses.
bool ResetPeakResident()
{
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

struct Footprint {
    double peakResident = 0;  // growth of the peak resident set while the store fills
    double heap = 0;          // growth of the heap in use (malloc's own accounting)
    double counted = 0;       // entries, slot capacities and section buffers, as allocated
    double sections = 0;      // raw section bytes held in slots
};

double Counted(const StreamParser& parser, double& sections)
{
    double bytes = 0;
    sections = 0;
    for (int i = 0; i < parser.store.serviceCount; ++i) {
        const ServiceEntry& s = *parser.store.services[i];
        bytes += sizeof(ServiceEntry);
        for (const SectionSlot* slots : {s.schedule, s.scheduleExtended, s.scheduleOriginal})
            for (int k = 0; k < kScheduleSlots; ++k) bytes += slots[k].capacity, sections += slots[k].length;
        for (const SectionSlot& slot : s.presentFollowing) bytes += slot.capacity, sections += slot.length;
    }
    for (const PidBuffer* b : parser.pidBuffers)
        if (b) bytes += sizeof(PidBuffer) + b->capacity;
    return bytes;
}

// Measured once, in a process that has not held a store before.
const Footprint& MeasureFootprint()
{
    static const Footprint footprint = [] {
        Stream();
        malloc_trim(0);
        Footprint f;
        long rss0 = 0, peak0 = 0, rss1 = 0, peak1 = 0;
        const bool peakReset = ResetPeakResident();
        ReadResident(rss0, peak0);
        const size_t heap0 = mallinfo2().uordblks;
        auto parser = TakeFullStore();
        f.heap = static_cast<double>(mallinfo2().uordblks - heap0);
        ReadResident(rss1, peak1);
        f.peakResident = static_cast<double>(peakReset ? peak1 - rss0 : rss1 - rss0);
        f.counted = Counted(*parser, f.sections);
        return f;
    }();
    return footprint;
}

void BM_FullStoreMemory(benchmark::State& state)
{
    const Footprint& f = MeasureFootprint();
    for (auto _ : state) benchmark::DoNotOptimize(f);
    constexpr double kMB = 1e6;
    state.counters["peak_rss_MB"] = f.peakResident / kMB;
    state.counters["heap_MB"] = f.heap / kMB;
    state.counters["counted_MB"] = f.counted / kMB;
    state.counters["section_MB"] = f.sections / kMB;
}
BENCHMARK(BM_FullStoreMemory)->Iterations(1);

struct TickFixture {
    std::unique_ptr<StreamParser> parser = TakeFullStore();
    DefaultProfile settings;
    ChangeLog changeLog;
    RowTable rows = {};
    int listed = 0;
    int countdown = 5;
    int64_t now = LocalTimeStamp(2026, 12, 7, 20, 10, 30);

    TickFixture() { Rebuild(); }
    ~TickFixture() { ClearRows(rows); }
    void Rebuild()
    {
        BuildRows(rows, parser->store, ReadServiceSettings(settings, parser->store), changeLog, RowReferenceTime(*parser, now));
        listed = static_cast<int>(DecideListItems(rows, listed).items.size());
    }
    // The tick's decisions; a rebuild when they ask for one or when forced.
    void Tick(bool forceRebuild)
    {
        const ClockTickStart start = BeginClockTick(*parser, countdown, 30);
        if (start.rebuildRows || forceRebuild) Rebuild();
        const BoundaryCheck check = CheckProgrammeBoundaries(rows, rows[0] ? rows[0]->serviceId : 0, now);
        if (check.rebuildRows) Rebuild();
        benchmark::DoNotOptimize(check);
    }
};

// A tick on which nothing is rebuilt (nine of every ten).
void BM_TickIdle(benchmark::State& state)
{
    TickFixture fixture;
    for (auto _ : state) {
        fixture.countdown = 5;
        fixture.Tick(false);
    }
    state.counters["rows"] = static_cast<double>(RowCount(fixture.rows));
}
BENCHMARK(BM_TickIdle)->Unit(benchmark::kMicrosecond);

// A tick that rebuilds the rows and decides the list's items.
void BM_TickRebuild(benchmark::State& state)
{
    TickFixture fixture;
    for (auto _ : state) fixture.Tick(true);
    state.counters["rows"] = static_cast<double>(RowCount(fixture.rows));
}
BENCHMARK(BM_TickRebuild)->Unit(benchmark::kMicrosecond);

}  // namespace
