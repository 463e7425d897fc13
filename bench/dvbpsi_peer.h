// libdvbpsi as the peer of our intake: one handle per PID, each with a demultiplexer that
// attaches the table's decoder when a new table_id/extension appears. Decoded tables are
// walked and freed. Shared by dvbpsi_bench and the whole-process program dvbpsi_sections.
#pragma once

#include <cstddef>
#include <cstdint>

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

#include "ts/stream_parser.h"

struct PeerCounts {
    int64_t tables = 0;
    int64_t events = 0;
    int64_t descriptors = 0;
};

inline int64_t CountDescriptors(const dvbpsi_descriptor_t* d)
{
    int64_t n = 0;
    for (; d; d = d->p_next) n += d->i_length > 0;
    return n;
}

inline void OnEit(void* data, dvbpsi_eit_t* eit)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_eit_event_t* e = eit->p_first_event; e; e = e->p_next) {
        ++counts.events;
        counts.descriptors += CountDescriptors(e->p_first_descriptor);
    }
    dvbpsi_eit_delete(eit);
}

inline void OnSdt(void* data, dvbpsi_sdt_t* sdt)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_sdt_service_t* s = sdt->p_first_service; s; s = s->p_next)
        counts.descriptors += CountDescriptors(s->p_first_descriptor);
    dvbpsi_sdt_delete(sdt);
}

inline void OnNit(void* data, dvbpsi_nit_t* nit)
{
    auto& counts = *static_cast<PeerCounts*>(data);
    ++counts.tables;
    for (const dvbpsi_nit_ts_t* ts = nit->p_first_ts; ts; ts = ts->p_next)
        counts.descriptors += CountDescriptors(ts->p_first_descriptor);
    dvbpsi_nit_delete(nit);
}

inline void OnTot(void* data, dvbpsi_tot_t* tot)
{
    ++static_cast<PeerCounts*>(data)->tables;
    dvbpsi_tot_delete(tot);
}

inline void OnNewTable(dvbpsi_t* handle, uint8_t tableId, uint16_t extension, void* data)
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

