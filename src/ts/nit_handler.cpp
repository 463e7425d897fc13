// Network Information Table, actual network (ARIB STD-B10 5.2.4): the remote-control
// key and transport-stream name of the stored services, from the TS information
// descriptor. The NIT never adds a service.
#include "store/programme_store.h"
#include "broadcast/byte_reader.h"
#include "ts/raw_name.h"
#include "ts/stream_parser.h"
#include "ts/table_handlers.h"

namespace {

constexpr uint8_t kTableIdNitActual = 0x40;
constexpr uint8_t kTagTsInformation = 0xCD;
constexpr size_t kNitHeaderBytes = 8;  // through last_section_number
constexpr size_t kCrcBytes = 4;
constexpr size_t kStreamHeaderBytes = 6;

ServiceEntry* FindStoredService(StreamParser& parser, uint16_t serviceId)
{
    for (ServiceEntry* service : parser.store.services) {
        if (!service) break;
        if (service->serviceId == serviceId) return service;
    }
    return nullptr;
}

// TS information descriptor: remote_control_key_id, length_of_ts_name (6 bits),
// transmission_type_count (2 bits), ts_name, then per transmission type its service ids.
// A name that runs past the descriptor annotates nothing; a service list that does gives
// only the ids read in full.
void ApplyTsInformation(StreamParser& parser, const Descriptor& d)
{
    ByteReader body(d.body, d.length);
    const uint8_t remoteKeyId = body.U8();
    const uint8_t counts = body.U8();
    const uint8_t nameLength = counts >> 2;
    const uint8_t* name = body.Bytes(nameLength);
    if (!body.Ok()) return;
    for (int type = 0; type < (counts & 0x03); ++type) {
        body.Skip(1);  // transmission_type_info
        const int serviceCount = body.U8();
        for (int i = 0; i < serviceCount && body.Has(2); ++i) {
            ServiceEntry* service = FindStoredService(parser, body.U16());
            if (!service) continue;
            service->remoteKeyId = remoteKeyId;
            service->tsName[0] = 0;
            service->tsNameLength = CopyRawName(service->tsName, name, nameLength);
        }
    }
}

}  // namespace

void HandleNitSection(StreamParser& parser, const uint8_t* section, int length)
{
    if (!section || length < static_cast<int>(kNitHeaderBytes + kCrcBytes)) return;
    if (section[0] != kTableIdNitActual) return;
    ByteReader body(section, static_cast<size_t>(length) - kCrcBytes);
    body.Skip(kNitHeaderBytes);
    body.Sub(body.Length12());  // network descriptors
    ByteReader streams = body.Sub(body.Length12());
    while (streams.Remaining() >= kStreamHeaderBytes) {
        streams.Skip(4);  // transport_stream_id, original_network_id
        ByteReader descriptors = streams.Sub(streams.Length12());
        Descriptor d;
        while (NextDescriptor(descriptors, d)) {
            if (d.tag != kTagTsInformation) continue;
            ApplyTsInformation(parser, d);
            break;
        }
    }
}
