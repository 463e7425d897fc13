// Packet intake over a realistic multiplex, over a stream of EIT only and over a day of the
// soak's broadcast, and CRC-32 alone (both ways).
#include <benchmark/benchmark.h>

#include <memory>

#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "soak/soak_broadcast.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"

namespace {

const Bytes& MixedStream()
{
    static const Bytes stream = MakeSampleStream();
    return stream;
}

// Every schedule section of the sample, back to back on the EIT PID, after one TOT.
const Bytes& EitStream()
{
    static const Bytes stream = [] {
        Bytes s = MakeTotPacket({2026, 12, 7, 20, 0, 0});
        Packetizer eit(kPidEit);
        for (const Bytes& section : MakeSampleEitSections()) AppendBytes(s, eit.Packetize(section));
        return s;
    }();
    return stream;
}

// The first simulated day of the soak's main multiplex (eight services, schedule revisions,
// a day change, damaged packets), without its stuffing.
const Bytes& SoakDayStream()
{
    static const Bytes stream = [] {
        SoakMultiplexPlan plan;
        for (int i = 0; i < 8; ++i) plan.services.push_back({static_cast<uint16_t>(0x0400 + 8 * i), "S"});
        plan.start = ToClock({2026, 12, 7, 4, 0, 0});
        plan.days = 1;
        plan.revisionsPerDay = 6;
        plan.stuffingPerPacket = 0;
        SoakMultiplex multiplex(plan);
        Bytes s;
        multiplex.Play(plan.start + kDaySeconds, &s, nullptr);
        return s;
    }();
    return stream;
}

// Steady state: one parser for every pass, as the plug-in keeps it. The share of sections
// that were repeats of their stored copy is counted on the first pass.
void RunIntake(benchmark::State& state, const Bytes& stream)
{
    auto parser = std::make_unique<StreamParser>();
    double firstPassRepeats = -1;
    for (auto _ : state) {
        TakePackets(*parser, stream.data(), stream.size());
        benchmark::ClobberMemory();
        if (firstPassRepeats < 0)
            firstPassRepeats = static_cast<double>(parser->repeatCount) / static_cast<double>(parser->sectionCount);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["repeat_share"] = firstPassRepeats;
}

void BM_IntakeMixed(benchmark::State& state) { RunIntake(state, MixedStream()); }
void BM_IntakeEitOnly(benchmark::State& state) { RunIntake(state, EitStream()); }
void BM_IntakeSoakDay(benchmark::State& state) { RunIntake(state, SoakDayStream()); }

void RunCrc(benchmark::State& state, uint32_t (*crc)(const uint8_t*, size_t, uint32_t))
{
    Bytes data(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    for (auto _ : state) benchmark::DoNotOptimize(crc(data.data(), data.size(), kCrc32Initial));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_Crc32(benchmark::State& state) { RunCrc(state, Crc32); }
void BM_Crc32Slicing(benchmark::State& state) { RunCrc(state, Crc32Slicing); }

}  // namespace

BENCHMARK(BM_IntakeMixed);
BENCHMARK(BM_IntakeEitOnly);
BENCHMARK(BM_IntakeSoakDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Crc32Slicing)->Arg(4096)->Arg(1 << 20);
