// Service-information intake beside libdvbpsi on the same transport-stream bytes: the
// sample multiplex (about 3% service information) and a stream that is nothing but the
// service information of a full store (50 services, eight days of schedule).
//
// libdvbpsi hands a table to its callback only once the table is complete, and it keeps
// nothing of a section it has not yet seen complete its table, so each stream here is the
// carousel sent twice, as a broadcast repeats it, and each pass starts from fresh decoders
// (for us: a fresh StreamParser), so both sides do all of their work on every pass. A pass
// counts its whole input; the counters say how much each side delivered from it (sections
// stored for us; tables and events decoded, with CRC checks, for libdvbpsi).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "dvbpsi_peer.h"
#include "store/programme_store.h"
#include "support/full_schedule.h"
#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "ts/stream_parser.h"

namespace {

constexpr int kCycles = 2;

int PidOf(const uint8_t* packet) { return (packet[1] & 0x1F) << 8 | packet[2]; }

// The stream `cycles` times over, continuity counters running on across the joins (a
// broken counter would make either side drop the section in progress).
Bytes Repeat(const Bytes& once, int cycles)
{
    Bytes out;
    int nextCC[kPidCount] = {};
    for (int c = 0; c < cycles; ++c)
        for (size_t p = 0; p + kPacketSize <= once.size(); p += kPacketSize) {
            Bytes packet(once.begin() + static_cast<long>(p), once.begin() + static_cast<long>(p + kPacketSize));
            const int pid = PidOf(packet.data());
            if (c > 0) packet[3] = static_cast<uint8_t>((packet[3] & 0xF0) | nextCC[pid]);
            nextCC[pid] = (packet[3] + 1) & 0x0F;
            AppendBytes(out, packet);
        }
    return out;
}

const Bytes& MixedStream()
{
    static const Bytes stream = Repeat(MakeSampleStream(), kCycles);
    return stream;
}

const Bytes& EitStream()
{
    static const Bytes stream = MakeFullScheduleStream(MakeFullSchedule(), kCycles);
    return stream;
}

int64_t StoredSections(const StreamParser& parser)
{
    int64_t n = 0;
    for (int i = 0; i < parser.store.serviceCount; ++i) {
        const ServiceEntry& s = *parser.store.services[i];
        for (const SectionSlot& slot : s.schedule) n += slot.length > 0;
        for (const SectionSlot& slot : s.scheduleExtended) n += slot.length > 0;
        for (const SectionSlot& slot : s.presentFollowing) n += slot.length > 0;
    }
    return n;
}

void RunPeer(benchmark::State& state, const Bytes& stream)
{
    PeerCounts counts;
    for (auto _ : state) {
        counts = {};
        Peer peer(counts);
        peer.Take(stream.data(), stream.size());
        benchmark::DoNotOptimize(counts);
    }
    if (counts.tables == 0) state.SkipWithError("libdvbpsi delivered nothing");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["tables"] = static_cast<double>(counts.tables);
    state.counters["events"] = static_cast<double>(counts.events);
    state.counters["descriptors"] = static_cast<double>(counts.descriptors);
}

void RunOurs(benchmark::State& state, const Bytes& stream)
{
    int64_t stored = 0;
    for (auto _ : state) {
        auto parser = std::make_unique<StreamParser>();
        TakePackets(*parser, stream.data(), stream.size());
        benchmark::ClobberMemory();
        if (stored == 0) stored = StoredSections(*parser);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["sections_stored"] = static_cast<double>(stored);
}

void BM_OursMixed(benchmark::State& state) { RunOurs(state, MixedStream()); }
void BM_LibdvbpsiMixed(benchmark::State& state) { RunPeer(state, MixedStream()); }
void BM_OursEit(benchmark::State& state) { RunOurs(state, EitStream()); }
void BM_LibdvbpsiEit(benchmark::State& state) { RunPeer(state, EitStream()); }

}  // namespace

BENCHMARK(BM_OursMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibdvbpsiMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursEit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibdvbpsiEit)->Unit(benchmark::kMillisecond);
