// Builders that write service-information sections field by field with real CRCs, so
// tests and the sample generator describe what a broadcaster sends in readable terms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Byte writer with a back-patched 12-bit length field.
class SectionWriter {
public:
    void U8(unsigned v) { m_bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v) { U8(v >> 8); U8(v); }
    void U24(unsigned v) { U8(v >> 16); U16(v); }
    void U32(uint32_t v) { U16(v >> 16); U16(v); }
    void Append(const Bytes& b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    // Reserves a 16-bit field whose low 12 bits will hold a length; the high bits are kept.
    size_t OpenLength(unsigned highBits) { U16(highBits << 12); return m_bytes.size() - 2; }
    // Writes the number of bytes after the field into the field opened at `at`.
    void CloseLength(size_t at, int extra = 0);
    size_t Size() const { return m_bytes.size(); }
    Bytes& Data() { return m_bytes; }
    // Completes a section: section_length from byte 3 onwards plus the CRC, then the CRC_32.
    Bytes FinishSection();

private:
    Bytes m_bytes;
};

uint8_t ToBcd(int value);
uint16_t DateToMjd(int year, int month, int day);

struct BroadcastTime {
    int year = 2026, month = 12, day = 7, hour = 0, minute = 0, second = 0;
    bool undefined = false;  // broadcast as all ones
};
constexpr BroadcastTime kUndefinedStart{.undefined = true};
constexpr int kUndefinedDuration = -1;  // broadcast as all ones

// 5 bytes: MJD then BCD hour, minute, second.
Bytes EncodeStartTime(const BroadcastTime& t);
// 3 bytes of BCD hours, minutes, seconds; kUndefinedDuration gives FF FF FF, the duration of a
// programme whose end is not known yet.
Bytes EncodeDuration(int seconds);
// The 8 bytes of an event's start_time and duration.
Bytes EncodeEventTimes(const BroadcastTime& start, int seconds);

Bytes MakeTot(const BroadcastTime& jst);

// --- NIT (ARIB STD-B10 with the TS information descriptor) ---
struct NitTransportStream {
    uint16_t transportStreamId = 0;
    uint16_t originalNetworkId = 0;
    bool hasTsInformation = true;
    uint8_t remoteKeyId = 0;
    Bytes tsName;                      // raw ARIB bytes
    std::vector<uint16_t> serviceIds;  // one transmission type group
    Bytes extraDescriptors;            // written before the TS information descriptor
};
struct NitSection {
    uint8_t tableId = 0x40;
    uint16_t networkId = 0x7FE0;
    uint8_t version = 0;
    Bytes networkDescriptors;
    std::vector<NitTransportStream> streams;
};
Bytes MakeNit(const NitSection& nit);

// --- SDT ---
struct SdtService {
    uint16_t serviceId = 0;
    uint8_t serviceType = 0x01;
    Bytes providerName;  // raw ARIB bytes
    Bytes serviceName;
    Bytes extraDescriptors;  // written before the service descriptor
    bool hasServiceDescriptor = true;
};
struct SdtSection {
    uint8_t tableId = 0x42;
    uint16_t transportStreamId = 0x7FE0;
    uint16_t originalNetworkId = 0x7FE0;
    uint8_t version = 0;
    std::vector<SdtService> services;
};
Bytes MakeSdt(const SdtSection& sdt);

// --- EIT and its event descriptors ---
Bytes ShortEventDescriptor(const Bytes& name, const Bytes& text);
struct ExtendedItem {
    Bytes description;
    Bytes text;
};
Bytes ExtendedEventDescriptor(int number, int lastNumber, const std::vector<ExtendedItem>& items,
                              const Bytes& text = {});
Bytes ComponentDescriptor(uint8_t componentType, uint8_t streamContent = 0x01, uint8_t tag = 0x00);
Bytes AudioComponentDescriptor(uint8_t componentType, uint8_t tag = 0x10);
Bytes ContentDescriptor(uint8_t nibble1, uint8_t nibble2 = 0);

struct EitEvent {
    uint16_t eventId = 0;
    BroadcastTime start;
    int durationSeconds = 0;
    uint8_t runningStatus = 0;
    Bytes descriptors;
};
struct EitSection {
    uint8_t tableId = 0x50;
    uint16_t serviceId = 0;
    uint8_t version = 0;
    uint8_t sectionNumber = 0;
    uint8_t lastSectionNumber = 0;
    uint16_t transportStreamId = 0x7FE0;
    uint16_t originalNetworkId = 0x7FE0;
    uint8_t segmentLastSectionNumber = 0;
    uint8_t lastTableId = 0;  // 0: same as tableId
    std::vector<EitEvent> events;
};
Bytes MakeEit(const EitSection& eit);

// The NIT and SDT of a network carried in one transport stream whose id is the network's:
// every service a television service with the one provider name, all on remote key 1.
struct SingleStreamService {
    uint16_t serviceId = 0;
    Bytes name;  // raw ARIB bytes
};
struct SingleStreamTables {
    Bytes nit;
    Bytes sdt;
};
SingleStreamTables MakeSingleStreamTables(uint16_t network, const Bytes& tsName, const Bytes& provider,
                                          const std::vector<SingleStreamService>& services);

// Raw bytes of a plain ASCII name, for tests that do not care about ARIB text.
Bytes Raw(const std::string& text);
