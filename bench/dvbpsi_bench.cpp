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

extern "C" {
#include <dvbpsi/dvbpsi.h>
#include <dvbpsi/demux.h>
#include <dvbpsi/descriptor.h>
#include <dvbpsi/eit.h>
#include <dvbpsi/nit.h>
#include <dvbpsi/psi.h>
#include <dvbpsi/sdt.h>
#include <dvbpsi/tot.h>
}

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

// --- libdvbpsi: one handle per PID, each with a demultiplexer that attaches the table's
// decoder when a new table_id/extension appears. Decoded tables are walked and freed.
struct PeerCounts {
    int64_t tables = 0;
    int64_t events = 0;
    int64_t descriptors = 0;
};

int64_t CountDescriptors(const dvbpsi_descriptor_t* d)
{
    int64_t n = 0;
    for (; d; d = d->p_next) n += d->i_length > 0;
    return n;
}

void OnEit(void* data, dvbpsi_eit_t* eit)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_eit_event_t* e = eit->p_first_event; e; e = e->p_next) {
        ++counts.events;
        counts.descriptors += CountDescriptors(e->p_first_descriptor);
    }
    dvbpsi_eit_delete(eit);
}

void OnSdt(void* data, dvbpsi_sdt_t* sdt)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_sdt_service_t* s = sdt->p_first_service; s; s = s->p_next)
        counts.descriptors += CountDescriptors(s->p_first_descriptor);
    dvbpsi_sdt_delete(sdt);
}

void OnNit(void* data, dvbpsi_nit_t* nit)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_nit_ts_t* ts = nit->p_first_ts; ts; ts = ts->p_next)
        counts.descriptors += CountDescriptors(ts->p_first_descriptor);
    dvbpsi_nit_delete(nit);
}

void OnTot(void* data, dvbpsi_tot_t* tot)
{
    ++static_cast<PeerCounts*>(data)->tables;
    dvbpsi_tot_delete(tot);
}

void OnNewTable(dvbpsi_t* handle, uint8_t tableId, uint16_t extension, void* data)
{
    if (tableId >= 0x4E && tableId <= 0x6F)
        dvbpsi_eit_attach(handle, tableId, extension, OnEit, data);
    else if (tableId == 0x42)
        dvbpsi_sdt_attach(handle, tableId, extension, OnSdt, data);
    else if (tableId == 0x40)
        dvbpsi_nit_attach(handle, tableId, extension, OnNit, data);
    else if (tableId == 0x73)
        dvbpsi_tot_attach(handle, tableId, extension, OnTot, data);
}

class Peer {
public:
    explicit Peer(PeerCounts& counts)
    {
        for (dvbpsi_t*& h : m_handles) {
            h = dvbpsi_new(nullptr, DVBPSI_MSG_NONE);
            if (h) dvbpsi_AttachDemux(h, OnNewTable, &counts);
        }
    }
    ~Peer()
    {
        for (dvbpsi_t* h : m_handles) {
            if (!h) continue;
            dvbpsi_DetachDemux(h);
            dvbpsi_delete(h);
        }
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // The same PID choice as our intake: NIT, SDT, EIT and TOT.
    void Take(const uint8_t* data, size_t size)
    {
        for (size_t p = 0; p + kPacketSize <= size; p += kPacketSize) {
            uint8_t* packet = const_cast<uint8_t*>(data + p);
            const unsigned pidHigh = packet[1] & 0x1F;
            const unsigned pidLow = packet[2];
            if (pidHigh != 0 || pidLow - kPidNit > kPidTot - kPidNit) continue;
            if (dvbpsi_t* h = m_handles[pidLow - kPidNit]; h && pidLow != 0x13) dvbpsi_packet_push(h, packet);
        }
    }

private:
    dvbpsi_t* m_handles[5] = {};  // PIDs 0x10 to 0x14
};

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
