#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "support/arib_encoder.h"
#include "support/packetizer.h"
#include "support/sjis_text.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"
#include "xmltv_writer.h"

namespace {

EitEvent Event(uint16_t id, int hour, int minute, int minutes, const char8_t* title, Bytes more = {})
{
    EitEvent e;
    e.eventId = id;
    e.start = {2026, 12, 7, hour, minute, 0};
    e.durationSeconds = minutes * 60;
    e.descriptors = ShortEventDescriptor(EncodeArib(title), {});
    AppendBytes(e.descriptors, more);
    return e;
}

Bytes Section(uint8_t tableId, uint8_t number, std::vector<EitEvent> events)
{
    EitSection eit;
    eit.tableId = tableId;
    eit.serviceId = 0x0400;
    eit.sectionNumber = number;
    eit.transportStreamId = 0x7FE1;  // not the network id the channel id is made from
    eit.lastSectionNumber = tableId == 0x4E ? 1 : number;
    eit.segmentLastSectionNumber = eit.lastSectionNumber;
    eit.events = std::move(events);
    return MakeEit(eit);
}

// The first event's duration as FF FF FF (not yet known), the CRC made good again.
Bytes WithUndefinedDuration(Bytes section)
{
    constexpr size_t kDuration = 14 + 2 + 5;
    section[kDuration] = section[kDuration + 1] = section[kDuration + 2] = 0xFF;
    const uint32_t crc = Crc32(section.data(), section.size() - 4);
    for (int i = 0; i < 4; ++i) section[section.size() - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return section;
}

std::string Written(const std::vector<XmltvChannel>& channels)
{
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    WriteXmltv(out, channels);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    return result;
}

// Present/following and schedule both carry event 1: it appears once, as present/following
// has it. The schedule's 20:30 programme runs into it and ends at 21:00; another programme
// at 21:00 goes; the following event, of undefined duration, has no stop.
TEST(XmltvTest, ProgrammesOnceInStartOrderNoneOverlapping)
{
    const Bytes details = [] {
        Bytes d = ContentDescriptor(0x6, 0x0);
        AppendBytes(d, ComponentDescriptor(0xB3));
        AppendBytes(d, ExtendedEventDescriptor(0, 1, {{EncodeArib(u8"出演者"), EncodeArib(u8"山田太郎と")}}));
        AppendBytes(d, ExtendedEventDescriptor(1, 1, {{{}, EncodeArib(u8"鈴木花子")}}));
        return d;
    }();
    Bytes stream = MakeTotPacket({2026, 12, 7, 20, 0, 0});
    Packetizer eit(0x0012);
    AppendBytes(stream, eit.Packetize(Section(0x4E, 0, {Event(1, 21, 0, 60, u8"新しい題 & <続>", details)})));
    AppendBytes(stream, eit.Packetize(WithUndefinedDuration(Section(0x4E, 1, {Event(2, 22, 0, 30, u8"未定")}))));
    AppendBytes(stream, eit.Packetize(Section(0x50, 56, {Event(3, 20, 30, 60, u8"前番組"), Event(1, 21, 0, 60, u8"古い題"),
                                                         Event(4, 21, 0, 30, u8"重なる番組")})));
    auto parser = std::make_unique<StreamParser>();
    TakePackets(*parser, stream.data(), stream.size());

    const std::vector<XmltvChannel> channels = CollectXmltv(parser->store);
    ASSERT_EQ(1u, channels.size());
    EXPECT_EQ("1024.32736.isdb", channels[0].id);
    ASSERT_EQ(3u, channels[0].programmes.size());
    EXPECT_EQ(Utf8(u8"前番組"), channels[0].programmes[0].title);
    EXPECT_EQ(Utf8(u8"新しい題 & <続>"), channels[0].programmes[1].title);
    EXPECT_EQ(Utf8(u8"未定"), channels[0].programmes[2].title);

    const std::string xml = Written(channels);
    EXPECT_NE(std::string::npos, xml.find("start=\"20261207203000 +0900\" stop=\"20261207210000 +0900\""));
    EXPECT_NE(std::string::npos, xml.find(Utf8(u8"stop=\"20261207220000 +0900\" channel=\"1024.32736.isdb\">\n"
                                               u8"    <title lang=\"ja\">新しい題 &amp; &lt;続&gt;</title>\n"
                                               u8"    <desc lang=\"ja\">【出演者】\n山田太郎と鈴木花子</desc>\n"
                                               u8"    <category lang=\"ja\">映画</category>\n"
                                               u8"    <category lang=\"en\">Movie</category>\n"
                                               u8"    <video>\n      <aspect>16:9</aspect>\n"
                                               u8"      <quality>HDTV</quality>\n")));
    EXPECT_NE(std::string::npos, xml.find("<programme start=\"20261207220000 +0900\" channel="));
}

}  // namespace
