#include "support/section_builder.h"

#include "ts/crc32.h"

void SectionWriter::CloseLength(size_t at, int extra)
{
    unsigned length = static_cast<unsigned>(m_bytes.size() - at - 2 + extra);
    m_bytes[at] = static_cast<uint8_t>((m_bytes[at] & 0xF0) | ((length >> 8) & 0x0F));
    m_bytes[at + 1] = static_cast<uint8_t>(length);
}

Bytes SectionWriter::FinishSection()
{
    CloseLength(1, 4);  // section_length counts the CRC_32 that follows
    uint32_t crc = Crc32(m_bytes.data(), m_bytes.size());
    U32(crc);
    return m_bytes;
}

uint8_t ToBcd(int value) { return static_cast<uint8_t>((value / 10 % 10) << 4 | value % 10); }

uint16_t DateToMjd(int year, int month, int day)
{
    // ARIB STD-B10 annex C, inverted: MJD from a Gregorian date.
    int l = (month == 1 || month == 2) ? 1 : 0;
    int y = year - 1900;
    return static_cast<uint16_t>(14956 + day + static_cast<int>((y - l) * 365.25) +
                                 static_cast<int>((month + 1 + l * 12) * 30.6001));
}

Bytes EncodeStartTime(const BroadcastTime& t)
{
    uint16_t mjd = DateToMjd(t.year, t.month, t.day);
    return {static_cast<uint8_t>(mjd >> 8), static_cast<uint8_t>(mjd), ToBcd(t.hour), ToBcd(t.minute),
            ToBcd(t.second)};
}

Bytes EncodeDuration(int seconds)
{
    if (seconds == kUndefinedDuration) return {0xFF, 0xFF, 0xFF};
    return {ToBcd(seconds / 3600), ToBcd(seconds / 60 % 60), ToBcd(seconds % 60)};
}

Bytes MakeTot(const BroadcastTime& jst)
{
    SectionWriter w;
    w.U8(0x73);            // table_id: TOT
    w.U16(0xB000);         // section_syntax_indicator 0, reserved, section_length (patched)
    w.Append(EncodeStartTime(jst));  // JST_time
    size_t loop = w.OpenLength(0xF);  // reserved, descriptors_loop_length
    w.CloseLength(loop);
    return w.FinishSection();
}

Bytes MakeNit(const NitSection& nit)
{
    SectionWriter w;
    w.U8(nit.tableId);
    w.U16(0xF000);                         // syntax 1, reserved, section_length
    w.U16(nit.networkId);                  // network_id
    w.U8(0xC1 | (nit.version & 0x1F) << 1);  // reserved, version_number, current_next
    w.U8(0);                               // section_number
    w.U8(0);                               // last_section_number
    size_t networkLoop = w.OpenLength(0xF);  // network_descriptors_length
    w.Append(nit.networkDescriptors);
    w.CloseLength(networkLoop);
    size_t streamLoop = w.OpenLength(0xF);  // transport_stream_loop_length
    for (const NitTransportStream& ts : nit.streams) {
        w.U16(ts.transportStreamId);
        w.U16(ts.originalNetworkId);
        size_t descriptors = w.OpenLength(0xF);  // transport_descriptors_length
        w.Append(ts.extraDescriptors);
        if (ts.hasTsInformation) {
            w.U8(0xCD);  // TS information descriptor
            size_t at = w.Size();
            w.U8(0);     // descriptor_length (patched below)
            w.U8(ts.remoteKeyId);
            const unsigned groups = ts.serviceIds.empty() ? 0 : 1;
            w.U8(static_cast<unsigned>(ts.tsName.size()) << 2 | groups);  // length_of_ts_name, type count
            w.Append(ts.tsName);
            if (groups) {
                w.U8(0x0F);  // transmission_type_info
                w.U8(static_cast<unsigned>(ts.serviceIds.size()));
                for (uint16_t id : ts.serviceIds) w.U16(id);
            }
            w.Data()[at] = static_cast<uint8_t>(w.Size() - at - 1);
        }
        w.CloseLength(descriptors);
    }
    w.CloseLength(streamLoop);
    return w.FinishSection();
}

Bytes MakeSdt(const SdtSection& sdt)
{
    SectionWriter w;
    w.U8(sdt.tableId);
    w.U16(0xF000);
    w.U16(sdt.transportStreamId);
    w.U8(0xC1 | (sdt.version & 0x1F) << 1);
    w.U8(0);  // section_number
    w.U8(0);  // last_section_number
    w.U16(sdt.originalNetworkId);
    w.U8(0xFF);  // reserved_future_use
    for (const SdtService& s : sdt.services) {
        w.U16(s.serviceId);
        w.U8(0xFC);  // reserved, EIT_user_defined_flags, EIT_schedule_flag, EIT_present_following_flag
        size_t descriptors = w.OpenLength(0x8);  // running_status 4, free_CA_mode 0, loop length
        w.Append(s.extraDescriptors);
        if (s.hasServiceDescriptor) {
            w.U8(0x48);  // service descriptor
            w.U8(static_cast<unsigned>(3 + s.providerName.size() + s.serviceName.size()));
            w.U8(s.serviceType);
            w.U8(static_cast<unsigned>(s.providerName.size()));
            w.Append(s.providerName);
            w.U8(static_cast<unsigned>(s.serviceName.size()));
            w.Append(s.serviceName);
        }
        w.CloseLength(descriptors);
    }
    return w.FinishSection();
}

Bytes ShortEventDescriptor(const Bytes& name, const Bytes& text)
{
    Bytes d{0x4D, 0, 'j', 'p', 'n', static_cast<uint8_t>(name.size())};
    d.insert(d.end(), name.begin(), name.end());
    d.push_back(static_cast<uint8_t>(text.size()));
    d.insert(d.end(), text.begin(), text.end());
    d[1] = static_cast<uint8_t>(d.size() - 2);
    return d;
}

Bytes ExtendedEventDescriptor(int number, int lastNumber, const std::vector<ExtendedItem>& items, const Bytes& text)
{
    Bytes d{0x4E, 0, static_cast<uint8_t>(number << 4 | lastNumber), 'j', 'p', 'n', 0};
    for (const ExtendedItem& item : items) {
        d.push_back(static_cast<uint8_t>(item.description.size()));
        d.insert(d.end(), item.description.begin(), item.description.end());
        d.push_back(static_cast<uint8_t>(item.text.size()));
        d.insert(d.end(), item.text.begin(), item.text.end());
    }
    d[6] = static_cast<uint8_t>(d.size() - 7);  // length_of_items
    d.push_back(static_cast<uint8_t>(text.size()));
    d.insert(d.end(), text.begin(), text.end());
    d[1] = static_cast<uint8_t>(d.size() - 2);
    return d;
}

Bytes ComponentDescriptor(uint8_t componentType, uint8_t streamContent, uint8_t tag)
{
    // stream_content, component_type, component_tag, ISO_639_language_code
    return {0x50, 6, static_cast<uint8_t>(0xF0 | streamContent), componentType, tag, 'j', 'p', 'n'};
}

Bytes AudioComponentDescriptor(uint8_t componentType, uint8_t tag)
{
    // stream_content 2, component_type, component_tag, stream_type (ADTS), simulcast_group_tag,
    // ES_multi_lingual_flag 0, main_component_flag 1, quality_indicator, sampling_rate 48 kHz,
    // ISO_639_language_code
    return {0xC4, 9, 0xF2, componentType, tag, 0x0F, 0xFF, 0x5F, 'j', 'p', 'n'};
}

Bytes ContentDescriptor(uint8_t nibble1, uint8_t nibble2)
{
    return {0x54, 2, static_cast<uint8_t>(nibble1 << 4 | nibble2), 0xFF};
}

Bytes MakeEit(const EitSection& eit)
{
    SectionWriter w;
    w.U8(eit.tableId);
    w.U16(0xF000);
    w.U16(eit.serviceId);
    w.U8(0xC1 | (eit.version & 0x1F) << 1);
    w.U8(eit.sectionNumber);
    w.U8(eit.lastSectionNumber);
    w.U16(eit.transportStreamId);
    w.U16(eit.originalNetworkId);
    w.U8(eit.segmentLastSectionNumber);
    w.U8(eit.lastTableId ? eit.lastTableId : eit.tableId);
    for (const EitEvent& e : eit.events) {
        w.U16(e.eventId);
        w.Append(EncodeStartTime(e.start));
        w.Append(EncodeDuration(e.durationSeconds));
        size_t loop = w.OpenLength(static_cast<unsigned>(e.runningStatus << 1));  // running_status, free_CA_mode 0
        w.Append(e.descriptors);
        w.CloseLength(loop);
    }
    return w.FinishSection();
}

SingleStreamTables MakeSingleStreamTables(uint16_t network, const Bytes& tsName, const Bytes& provider,
                                          const std::vector<SingleStreamService>& services)
{
    SdtSection sdt;
    sdt.transportStreamId = network;
    sdt.originalNetworkId = network;
    NitSection nit;
    nit.networkId = network;
    NitTransportStream ts;
    ts.transportStreamId = network;
    ts.originalNetworkId = network;
    ts.remoteKeyId = 1;
    ts.tsName = tsName;
    for (const SingleStreamService& s : services) {
        sdt.services.push_back({s.serviceId, 0x01, provider, s.name, {}, true});
        ts.serviceIds.push_back(s.serviceId);
    }
    nit.streams.push_back(ts);
    return {MakeNit(nit), MakeSdt(sdt)};
}

Bytes Raw(const std::string& text) { return Bytes(text.begin(), text.end()); }
