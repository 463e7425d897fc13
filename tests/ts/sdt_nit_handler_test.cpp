#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "store/programme_store.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "support/section_builder.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"
#include "ts/table_handlers.h"

namespace {

Bytes ProviderOf(const ServiceEntry& s) { return Bytes(s.providerName, s.providerName + s.providerNameLength); }
Bytes ServiceNameOf(const ServiceEntry& s) { return Bytes(s.serviceName, s.serviceName + s.serviceNameLength); }
Bytes TsNameOf(const ServiceEntry& s) { return Bytes(s.tsName, s.tsName + s.tsNameLength); }

// Recomputes the CRC_32 after a test has edited a section's bytes.
Bytes Resealed(Bytes section)
{
    section.resize(section.size() - 4);
    const uint32_t crc = Crc32(section.data(), section.size());
    for (int shift = 24; shift >= 0; shift -= 8) section.push_back(static_cast<uint8_t>(crc >> shift));
    return section;
}

// TS information descriptor (ARIB STD-B10) with any number of transmission type groups.
Bytes TsInformation(uint8_t remoteKey, const Bytes& tsName, const std::vector<std::vector<uint16_t>>& groups)
{
    Bytes d{0xCD, 0, remoteKey, static_cast<uint8_t>(tsName.size() << 2 | groups.size())};
    AppendBytes(d, tsName);
    for (const std::vector<uint16_t>& ids : groups) {
        d.push_back(0x0F);  // transmission_type_info
        d.push_back(static_cast<uint8_t>(ids.size()));
        for (uint16_t id : ids) AppendBytes(d, {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
    }
    d[1] = static_cast<uint8_t>(d.size() - 2);
    return d;
}

NitTransportStream Stream(uint16_t tsId, uint8_t remoteKey, const Bytes& tsName, std::vector<uint16_t> ids)
{
    NitTransportStream ts;
    ts.transportStreamId = tsId;
    ts.originalNetworkId = 0x7FE0;
    ts.remoteKeyId = remoteKey;
    ts.tsName = tsName;
    ts.serviceIds = std::move(ids);
    return ts;
}

SdtService Television(uint16_t id, const std::string& provider, const std::string& name)
{
    return {id, 0x01, Raw(provider), Raw(name), {}, true};
}

class ServiceTablesTest : public ::testing::Test {
protected:
    void SetUp() override { parser = std::make_unique<StreamParser>(); }
    void FeedSdt(const SdtSection& s) { Feed(*parser, sdt.Packetize(MakeSdt(s))); }
    void FeedNit(const NitSection& n) { Feed(*parser, nit.Packetize(MakeNit(n))); }
    ServiceEntry* Service(uint16_t id)
    {
        for (ServiceEntry* s : parser->store.services)
            if (s && s->serviceId == id) return s;
        return nullptr;
    }

    std::unique_ptr<StreamParser> parser;
    Packetizer sdt{kPidSdt};
    Packetizer nit{kPidNit};
};

TEST_F(ServiceTablesTest, SdtNamesTelevisionServicesOnly)
{
    SdtSection s;
    s.services.push_back(Television(0x0400, "LUMA", "LUMA TV"));
    s.services.push_back({0x0401, 0xC0, Raw("LUMA"), Raw("LUMA DATA"), {}, true});  // data service
    s.services.push_back({0x0402, 0x01, {}, {}, {}, false});                         // no service descriptor
    s.services.push_back(Television(0x0403, "", ""));                                // both names empty
    // A data-type service descriptor first: passed over for the television one after it.
    SdtService mixed = Television(0x0404, "SECOND", "TV NAME");
    mixed.extraDescriptors = {0x48, 6, 0xC0, 1, 'X', 2, 'Y', 'Z'};
    s.services.push_back(mixed);
    FeedSdt(s);

    ASSERT_EQ(2, parser->store.serviceCount);
    ServiceEntry* tv = Service(0x0400);
    ASSERT_NE(nullptr, tv);
    EXPECT_EQ(Raw("LUMA"), ProviderOf(*tv));
    EXPECT_EQ(Raw("LUMA TV"), ServiceNameOf(*tv));
    ASSERT_NE(nullptr, Service(0x0404));
    EXPECT_EQ(Raw("SECOND"), ProviderOf(*Service(0x0404)));
    EXPECT_EQ(Raw("TV NAME"), ServiceNameOf(*Service(0x0404)));
}

TEST_F(ServiceTablesTest, SdtRenamesAndEmptyProviderName)
{
    FeedSdt({0x42, 1, 1, 0, {Television(0x0400, "OLD PROVIDER", "OLD NAME")}});
    FeedSdt({0x42, 1, 1, 1, {Television(0x0400, "", "NEW")}});
    ServiceEntry* s = Service(0x0400);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(0, s->providerNameLength);
    EXPECT_EQ(Raw("NEW"), ServiceNameOf(*s));

    // An SDT of another transport stream changes nothing, not even for stored services.
    FeedSdt({0x46, 1, 1, 0, {Television(0x0400, "OTHER", "OTHER"), Television(0x0500, "OTHER", "OTHER")}});
    EXPECT_EQ(1, parser->store.serviceCount);
    EXPECT_EQ(Raw("NEW"), ServiceNameOf(*s));
}

TEST_F(ServiceTablesTest, FullStoreNamesOnlyTheServicesItHolds)
{
    for (uint16_t id = 1; id <= kMaxServices; ++id) ASSERT_NE(kNoService, FindOrAddService(parser->store, id));
    FeedSdt({0x42, 1, 1, 0, {Television(0x0999, "P", "NEW"), Television(7, "P", "SEVEN")}});
    EXPECT_EQ(nullptr, Service(0x0999));
    EXPECT_EQ(Raw("SEVEN"), ServiceNameOf(*Service(7)));
}

TEST_F(ServiceTablesTest, LongNamesAreCutToTheirFields)
{
    FeedSdt({0x42, 1, 1, 0, {Television(0x0400, "P", "N")}});
    FeedNit({0x40, 0x7FE0, 0, {}, {Stream(0x7FE0, 12, Raw("T"), {0x0400})}});

    const std::string provider(60, 'p');
    const std::string name(180, 'n');
    FeedSdt({0x42, 1, 1, 1, {Television(0x0400, provider, name)}});
    ServiceEntry* s = Service(0x0400);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(Raw(provider.substr(0, kNameBytes)), ProviderOf(*s));
    EXPECT_EQ(Raw(name.substr(0, kNameBytes)), ServiceNameOf(*s));
    // The fields after the names are untouched.
    EXPECT_EQ(12, s->remoteKeyId);
    EXPECT_EQ(Raw("T"), TsNameOf(*s));

    const std::string tsName(63, 't');  // the longest length_of_ts_name allows
    FeedNit({0x40, 0x7FE0, 1, {}, {Stream(0x7FE0, 13, Raw(tsName), {0x0400})}});
    EXPECT_EQ(Raw(tsName.substr(0, kNameBytes)), TsNameOf(*s));
    EXPECT_EQ(13, s->remoteKeyId);
    EXPECT_EQ(0, s->schedule[0].length);
}

TEST_F(ServiceTablesTest, SdtLengthsThatRunPastTheirParentsAreContained)
{
    // Provider name length 10 in a descriptor with one byte of it: this entry names
    // nothing; the next entry is read as usual.
    SdtService broken{0x0400, 0x01, {}, {}, {0x48, 3, 0x01, 10, 'A'}, false};
    FeedSdt({0x42, 1, 1, 0, {broken, Television(0x0401, "P", "GOOD")}});
    EXPECT_EQ(nullptr, Service(0x0400));
    ASSERT_NE(nullptr, Service(0x0401));
    EXPECT_EQ(Raw("GOOD"), ServiceNameOf(*Service(0x0401)));

    // descriptors_loop_length 0xFFF on the last entry: the loop ends at the CRC.
    Bytes section = MakeSdt({0x42, 1, 1, 0, {Television(0x0402, "P", "LAST")}});
    section[11 + 3] |= 0x0F;
    section[11 + 4] = 0xFF;
    Feed(*parser, sdt.Packetize(Resealed(section)));
    ASSERT_NE(nullptr, Service(0x0402));
    EXPECT_EQ(Raw("LAST"), ServiceNameOf(*Service(0x0402)));

    // A name one byte longer, its descriptor and loop with it: the name's last byte would be
    // the CRC's first, so the entry names nothing.
    Bytes intoCrc = MakeSdt({0x42, 1, 1, 1, {Television(0x0403, "P", "LAST")}});
    for (size_t length : {11 + 4, 17, 21}) ++intoCrc[length];
    Feed(*parser, sdt.Packetize(Resealed(intoCrc)));
    EXPECT_EQ(nullptr, Service(0x0403));
}

TEST_F(ServiceTablesTest, NitAnnotatesStoredServicesAndAddsNone)
{
    FeedSdt({0x42, 1, 1, 0, {Television(0x0400, "P", "A"), Television(0x0410, "P", "B")}});
    NitSection n;
    n.networkDescriptors = {0x40, 4, 'L', 'U', 'M', 'A'};  // network name, skipped
    NitTransportStream first = Stream(0x7FE0, 1, Raw("FIRST TS"), {0x0400, 0x0408});
    first.extraDescriptors = {0x41, 3, 0x04, 0x00, 0x01};  // service list before the TS information
    n.streams.push_back(first);
    n.streams.push_back(Stream(0x7FE1, 5, Raw("SECOND TS"), {0x0410, 0x0500}));
    FeedNit(n);

    EXPECT_EQ(2, parser->store.serviceCount);
    EXPECT_EQ(nullptr, Service(0x0408));
    EXPECT_EQ(nullptr, Service(0x0500));
    EXPECT_EQ(1, Service(0x0400)->remoteKeyId);
    EXPECT_EQ(Raw("FIRST TS"), TsNameOf(*Service(0x0400)));
    EXPECT_EQ(5, Service(0x0410)->remoteKeyId);
    EXPECT_EQ(Raw("SECOND TS"), TsNameOf(*Service(0x0410)));

    // A ts_name of length 0 empties the name.
    FeedNit({0x40, 0x7FE0, 1, {}, {Stream(0x7FE0, 2, {}, {0x0400})}});
    EXPECT_EQ(2, Service(0x0400)->remoteKeyId);
    EXPECT_EQ(0, Service(0x0400)->tsNameLength);
    EXPECT_EQ(0, Service(0x0400)->tsName[0]);

    // NIT of another network: nothing changes.
    FeedNit({0x41, 0x7FE0, 0, {}, {Stream(0x7FE0, 9, Raw("OTHER"), {0x0400})}});
    EXPECT_EQ(2, Service(0x0400)->remoteKeyId);
}

TEST_F(ServiceTablesTest, NitReadsOnlyTheFirstTsInformationOfAnEntry)
{
    FeedSdt({0x42, 1, 1, 0, {Television(0x0400, "P", "A"), Television(0x0401, "P", "B")}});
    NitTransportStream ts = Stream(0x7FE0, 7, Raw("LATER"), {0x0400});
    // Two transmission types in the first descriptor, as terrestrial networks send them.
    ts.extraDescriptors = TsInformation(3, Raw("FIRST"), {{0x0401}, {0x0400}});
    FeedNit({0x40, 0x7FE0, 0, {}, {ts}});
    EXPECT_EQ(3, Service(0x0400)->remoteKeyId);
    EXPECT_EQ(Raw("FIRST"), TsNameOf(*Service(0x0400)));
    EXPECT_EQ(3, Service(0x0401)->remoteKeyId);
}

TEST_F(ServiceTablesTest, NitLengthsThatRunPastTheirParentsAreContained)
{
    FeedSdt({0x42, 1, 1, 0, {Television(0x0400, "P", "A"), Television(0x0401, "P", "B")}});
    // num_of_service 3 with room for one id: only the id read in full is annotated.
    Bytes shortList = TsInformation(4, Raw("TS"), {{0x0400}});
    shortList[shortList.size() - 3] = 3;
    NitTransportStream ts = Stream(0x7FE0, 0, {}, {});
    ts.hasTsInformation = false;
    ts.extraDescriptors = shortList;
    FeedNit({0x40, 0x7FE0, 0, {}, {ts}});
    EXPECT_EQ(4, Service(0x0400)->remoteKeyId);

    // length_of_ts_name beyond the descriptor: nothing is annotated.
    Bytes longName = TsInformation(5, Raw("TS"), {{0x0401}});
    longName[3] = static_cast<uint8_t>(40 << 2 | 1);
    ts.extraDescriptors = longName;
    FeedNit({0x40, 0x7FE0, 1, {}, {ts}});
    EXPECT_EQ(0, Service(0x0401)->remoteKeyId);

    // network_descriptors_length 0xFFF swallows the whole section; a
    // transport_stream_loop_length of 0xFFF is clamped to the CRC and keeps its entry.
    const Bytes good = MakeNit({0x40, 0x7FE0, 2, {}, {Stream(0x7FE0, 6, Raw("X"), {0x0401})}});
    for (size_t at : {8u, 10u}) {
        Bytes section = good;
        section[at] |= 0x0F;
        section[at + 1] = 0xFF;
        Feed(*parser, nit.Packetize(Resealed(section)));
        EXPECT_EQ(at == 8 ? 0 : 6, Service(0x0401)->remoteKeyId);
        // The same section alone on the heap: the sanitizer build sees any read past its end.
        const std::unique_ptr<uint8_t[]> exact(new uint8_t[section.size()]);
        std::copy(section.begin(), section.end(), exact.get());
        HandleNitSection(*parser, exact.get(), static_cast<int>(section.size()));
    }

    // Called directly with less than a CRC, each handler reads nothing (the sanitizer build
    // sees a read past these three bytes).
    const std::unique_ptr<uint8_t[]> tiny(new uint8_t[3]{0, 0xF0, 0});
    for (uint8_t tableId : {0x40, 0x42, 0x4E}) {
        tiny[0] = tableId;
        HandleNitSection(*parser, tiny.get(), 3);
        HandleSdtSection(*parser, tiny.get(), 3);
        HandleEitSection(*parser, tiny.get(), 3);
    }
    EXPECT_EQ(6, Service(0x0401)->remoteKeyId);
}

}  // namespace
