// Packet intake over a realistic multiplex and over a stream of EIT only, and CRC-32 alone.
#include <benchmark/benchmark.h>

#include <memory>

#include "support/packetizer.h"
#include "support/sample_stream.h"
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

void RunIntake(benchmark::State& state, const Bytes& stream)
{
    auto parser = std::make_unique<StreamParser>();
    for (auto _ : state) {
        TakePackets(*parser, stream.data(), stream.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}

void BM_IntakeMixed(benchmark::State& state) { RunIntake(state, MixedStream()); }
void BM_IntakeEitOnly(benchmark::State& state) { RunIntake(state, EitStream()); }

void BM_Crc32(benchmark::State& state)
{
    Bytes data(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    for (auto _ : state) benchmark::DoNotOptimize(Crc32(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

}  // namespace

BENCHMARK(BM_IntakeMixed);
BENCHMARK(BM_IntakeEitOnly);
BENCHMARK(BM_Crc32)->Arg(4096)->Arg(1 << 20);
