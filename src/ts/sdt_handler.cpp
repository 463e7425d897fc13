// Service Description Table, actual transport stream (ARIB STD-B10 5.2.6): the provider
// and service names of the television services. Names stay raw ARIB 8-unit bytes.
#include "store/programme_store.h"
#include "broadcast/byte_reader.h"
#include "ts/raw_name.h"
#include "ts/stream_parser.h"
#include "ts/table_handlers.h"

namespace {

constexpr uint8_t kTableIdSdtActual = 0x42;
constexpr uint8_t kTagService = 0x48;
constexpr uint8_t kServiceTypeTelevision = 0x01;
constexpr size_t kSdtHeaderBytes = 11;  // through reserved_future_use after original_network_id
constexpr size_t kCrcBytes = 4;
constexpr size_t kEntryHeaderBytes = 5;

struct ServiceNames {
    const uint8_t* provider = nullptr;
    uint8_t providerLength = 0;
    const uint8_t* name = nullptr;
    uint8_t nameLength = 0;
};

// The first service descriptor of a television service in an entry's loop (ARIB STD-B10
// 6.2.13). A descriptor whose name lengths run past its body names nothing, and the
// entry is passed over like one with empty names.
bool FindTelevisionNames(ByteReader loop, ServiceNames& out)
{
    Descriptor d;
    while (NextDescriptor(loop, d)) {
        if (d.tag != kTagService || d.length == 0 || d.body[0] != kServiceTypeTelevision) continue;
        ByteReader body(d.body, d.length);
        body.Skip(1);  // service_type
        out.providerLength = body.U8();
        out.provider = body.Bytes(out.providerLength);
        out.nameLength = body.U8();
        out.name = body.Bytes(out.nameLength);
        return body.Ok();
    }
    return false;
}

void ApplyNames(StreamParser& parser, uint16_t serviceId, const ServiceNames& names)
{
    if (names.providerLength == 0 && names.nameLength == 0) return;
    const int index = FindOrAddService(parser.store, serviceId);
    if (index == kNoService) return;
    ServiceEntry& service = *parser.store.services[index];
    service.providerNameLength = CopyRawName(service.providerName, names.provider, names.providerLength);
    service.serviceNameLength = CopyRawName(service.serviceName, names.name, names.nameLength);
}

}  // namespace

void HandleSdtSection(StreamParser& parser, const uint8_t* section, int length)
{
    if (!section || length < static_cast<int>(kSdtHeaderBytes + kCrcBytes)) return;
    if (section[0] != kTableIdSdtActual) return;
    ByteReader services = ByteReader(section, static_cast<size_t>(length) - kCrcBytes);
    services.Skip(kSdtHeaderBytes);
    while (services.Remaining() >= kEntryHeaderBytes) {
        const uint16_t serviceId = services.U16();
        services.Skip(1);  // EIT_user_defined_flags, EIT_schedule_flag, EIT_present_following_flag
        const uint16_t loopLength = services.Length12();  // after running_status, free_CA_mode
        ServiceNames names;
        if (FindTelevisionNames(services.Sub(loopLength), names)) ApplyNames(parser, serviceId, names);
    }
}
