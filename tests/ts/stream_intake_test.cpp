#include <gtest/gtest.h>

#include <memory>

#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "support/section_builder.h"
#include "broadcast/broadcast_time.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"

namespace {

// An EIT schedule section of exactly `total` bytes (one event, padded with a descriptor).
Bytes EitOfSize(size_t total, uint16_t serviceId = 0x0400, uint8_t sectionNumber = 0)
{
    EitSection eit;
    eit.serviceId = serviceId;
    eit.sectionNumber = sectionNumber;
    EitEvent e;
    e.eventId = 1;
    e.start = {2026, 12, 7, 21, 0, 0};
    e.durationSeconds = 3600;
    const size_t fixed = 14 + 12 + 4;  // header, event header, CRC
    EXPECT_GE(total, fixed + 2);
    e.descriptors = Bytes(total - fixed, 0);
    e.descriptors[0] = 0x80;  // a user-defined descriptor filling the rest
    e.descriptors[1] = static_cast<uint8_t>(total - fixed - 2);
    eit.events.push_back(e);
    Bytes s = MakeEit(eit);
    EXPECT_EQ(total, s.size());
    return s;
}

class StreamIntakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        parser = std::make_unique<StreamParser>();
        recorder = std::make_unique<SectionRecorder>(*parser);
    }
    void StartClock() { Feed(*parser, MakeTotPacket({2026, 12, 7, 20, 0, 0})); }

    std::unique_ptr<StreamParser> parser;
    std::unique_ptr<SectionRecorder> recorder;
};

TEST_F(StreamIntakeTest, TotSetsTheClockAndTdtDoesNot)
{
    Bytes tdt = MakeTotPacket({2026, 12, 7, 20, 0, 0});
    tdt[5] = 0x70;
    Feed(*parser, tdt);
    EXPECT_EQ(0, parser->totYear);
    EXPECT_EQ(0, parser->totTime);

    Feed(*parser, MakeTotPacket({2026, 12, 7, 21, 34, 56}));
    EXPECT_EQ(2026, parser->totYear);
    EXPECT_EQ(12, parser->totMonth);
    EXPECT_EQ(7, parser->totDay);
    EXPECT_EQ(21, parser->totHour);
    EXPECT_EQ(34, parser->totMinute);
    EXPECT_EQ(56, parser->totSecond);
    EXPECT_EQ(LocalTimeStamp(2026, 12, 7, 21, 34, 56), parser->totTime);

    Bytes priority = MakeTotPacket({2026, 12, 7, 22, 0, 0});
    priority[1] |= 0x20;  // transport_priority is no part of the PID
    Feed(*parser, priority);
    EXPECT_EQ(22, parser->totHour);
    // A packet taken alone (as the inspection tool does) is read by its whole PID: 0x0114.
    Bytes other = MakeTotPacket({2026, 12, 7, 23, 0, 0});
    other[1] |= 0x01;
    TakePacket(*parser, other.data());
    EXPECT_EQ(22, parser->totHour);
}

TEST_F(StreamIntakeTest, EitBeforeTheFirstTotIsIgnoredCompletely)
{
    Packetizer eit(kPidEit);
    Feed(*parser, eit.Packetize(EitOfSize(100)));
    EXPECT_EQ(nullptr, parser->pidBuffers[kPidEit]);
    EXPECT_TRUE(recorder->sections.empty());

    StartClock();
    Feed(*parser, eit.Packetize(EitOfSize(100)));
    ASSERT_EQ(1u, recorder->sections.size());
    EXPECT_EQ(kPidEit, recorder->sections[0].pid);
}

TEST_F(StreamIntakeTest, SectionSpreadOverTwoPacketsIsHandedOnOnceAfterTheSecond)
{
    ProcessSections(*parser, kPidEit);  // before any packet there is no buffer to read
    StartClock();
    Bytes section = EitOfSize(300);
    Bytes packets = Packetizer(kPidEit).Packetize(section);
    ASSERT_EQ(2u * 188, packets.size());
    Feed(*parser, Bytes(packets.begin(), packets.begin() + 188));
    EXPECT_TRUE(recorder->sections.empty());
    Feed(*parser, Bytes(packets.begin() + 188, packets.end()));
    ASSERT_EQ(1u, recorder->sections.size());
    EXPECT_EQ(section, recorder->sections[0].bytes);
}

TEST_F(StreamIntakeTest, ContinuityGapLosesTheSectionUntilTheNextUnitStart)
{
    StartClock();
    Packetizer eit(kPidEit);
    Bytes packets = eit.Packetize(EitOfSize(300));
    packets[188 + 3] = static_cast<uint8_t>((packets[188 + 3] & 0xF0) | ((packets[188 + 3] + 1) & 0x0F));
    Feed(*parser, packets);
    EXPECT_TRUE(recorder->sections.empty());

    Bytes next = EitOfSize(120, 0x0401);
    Feed(*parser, eit.Packetize(next));
    ASSERT_EQ(1u, recorder->sections.size());
    EXPECT_EQ(next, recorder->sections[0].bytes);
}

TEST_F(StreamIntakeTest, RepeatedPacketAddsNothing)
{
    StartClock();
    Bytes section = EitOfSize(500);
    Bytes packets = Packetizer(kPidEit).Packetize(section);
    ASSERT_EQ(3u * 188, packets.size());
    Bytes first(packets.begin(), packets.begin() + 188);
    Bytes second(packets.begin() + 188, packets.begin() + 2 * 188);
    Bytes third(packets.begin() + 2 * 188, packets.end());
    Feed(*parser, first);
    Feed(*parser, second);
    Feed(*parser, second);  // duplicate in mid-section: same CC, its payload is not taken again
    Feed(*parser, third);
    Feed(*parser, third);  // duplicate after the end: the buffer is already emptied
    ASSERT_EQ(1u, recorder->sections.size());
    EXPECT_EQ(section, recorder->sections[0].bytes);
}

TEST_F(StreamIntakeTest, SeveralSectionsInOnePacketWithStuffingAreAllHandled)
{
    // Packet 1 starts a 250-byte section; packet 2 ends it and, after its pointer_field,
    // carries two short sections and 0xFF stuffing.
    Bytes a = MakeSdt({0x42, 1, 1, 0, {{0x0400, 0x01, Raw("P"), Raw(std::string(224, 'x')), {}, true}}});
    ASSERT_EQ(250u, a.size());
    Bytes b = MakeSdt({0x42, 1, 1, 0, {{0x0401, 0x01, Raw("Q"), Raw("short"), {}, true}}});
    Bytes c = MakeSdt({0x42, 1, 1, 0, {{0x0402, 0x01, Raw("R"), Raw("other"), {}, true}}});
    Bytes stream = Packetizer(kPidSdt).Packetize({a, b, c});
    ASSERT_EQ(2u * 188, stream.size());
    EXPECT_EQ(0x40, stream[188 + 1] & 0x40);           // PUSI in the second packet
    EXPECT_EQ(250 - 184 + 1, stream[188 + 4]);         // pointer_field: the rest of a
    EXPECT_EQ(0xFF, stream.back());                    // stuffing
    Feed(*parser, stream);
    ASSERT_EQ(3u, recorder->sections.size());
    EXPECT_EQ(a, recorder->sections[0].bytes);
    EXPECT_EQ(b, recorder->sections[1].bytes);
    EXPECT_EQ(c, recorder->sections[2].bytes);
    EXPECT_EQ(0, parser->pidBuffers[kPidSdt]->fill);
}

TEST_F(StreamIntakeTest, CorruptSectionIsDroppedWithWhatFollowedIt)
{
    Bytes a = MakeSdt({0x42, 1, 1, 0, {{0x0400, 0x01, Raw("P"), Raw("first"), {}, true}}});
    Bytes b = MakeSdt({0x42, 1, 1, 0, {{0x0401, 0x01, Raw("Q"), Raw("second"), {}, true}}});
    Bytes bad = a;
    bad[15] ^= 0x01;
    Packetizer sdt(kPidSdt);
    Feed(*parser, sdt.Packetize({bad, b}));
    EXPECT_TRUE(recorder->sections.empty());
    Feed(*parser, sdt.Packetize({a, b}));
    EXPECT_EQ(2u, recorder->sections.size());
}

TEST_F(StreamIntakeTest, BoundaryOfPointerFieldAndSectionLength)
{
    // A section starting at the last payload byte goes to the next packet; every length
    // from 16 to 600 bytes survives the packetizer and the intake byte for byte.
    StartClock();
    Packetizer eit(kPidEit);
    for (size_t size = 32; size <= 600; ++size) {
        Bytes s = EitOfSize(size, static_cast<uint16_t>(size));
        Feed(*parser, eit.Packetize({s, s}));
    }
    ASSERT_EQ(2u * (600 - 32 + 1), recorder->sections.size());
}

TEST_F(StreamIntakeTest, MalformedLengthsNeverReadOrGrowOutOfBounds)
{
    StartClock();
    // pointer_field 200 (beyond the payload) on a PUSI packet, with and without a section
    // in progress.
    Bytes section = EitOfSize(300);
    Bytes packets = Packetizer(kPidEit).Packetize(section);
    Bytes second(packets.begin() + 188, packets.end());
    second[1] |= 0x40;
    second[4] = 200;
    Feed(*parser, Bytes(packets.begin(), packets.begin() + 188));
    Feed(*parser, second);
    Feed(*parser, second);
    EXPECT_TRUE(recorder->sections.empty());
    EXPECT_EQ(0, parser->pidBuffers[kPidEit]->fill);

    // section_length 4094, one more than any section can have: dropped at once.
    Bytes huge(184, 0xAB);
    huge[0] = 0;       // pointer_field
    huge[1] = 0x50;    // table_id
    huge[2] = 0xFF;
    huge[3] = 0xFE;
    Feed(*parser, MakePacket(kPidEit, true, 0, huge));
    EXPECT_EQ(0, parser->pidBuffers[kPidEit]->fill);

    // A section of the largest length that never gets its end: continuation packets keep
    // coming with the right counters; the buffer stays bounded and is dropped at the CRC.
    Bytes start(184, 0x11);
    start[0] = 0;
    start[1] = 0x50;
    start[2] = 0xFF;  // section_length 4093
    start[3] = 0xFD;
    Feed(*parser, MakePacket(kPidEit, true, 1, start));
    EXPECT_EQ(183, parser->pidBuffers[kPidEit]->fill) << "the longest length is still a section";
    for (int i = 0; i < 100; ++i) {
        Feed(*parser, MakePacket(kPidEit, false, (2 + i) & 0x0F, Bytes(184, 0x22)));
        ASSERT_LE(parser->pidBuffers[kPidEit]->capacity, kMaxSectionBytes + 184 + 200 + 184);
    }
    EXPECT_TRUE(recorder->sections.empty());
}

TEST_F(StreamIntakeTest, OnlyWholePacketsOfABlockAreTaken)
{
    Bytes stream = MakeTotPacket({2026, 12, 7, 20, 0, 0});
    Bytes tot2 = MakeTotPacket({2026, 12, 7, 21, 0, 0});
    stream.insert(stream.end(), tot2.begin(), tot2.begin() + 100);  // a fragment
    // The fragment is copied to its own allocation so a read past it is caught by ASan.
    std::unique_ptr<uint8_t[]> block(new uint8_t[stream.size()]);
    std::copy(stream.begin(), stream.end(), block.get());
    EXPECT_EQ(1u, TakePackets(*parser, block.get(), stream.size()));
    EXPECT_EQ(20, parser->totHour);
    EXPECT_EQ(0u, TakePackets(*parser, nullptr, 188));
    EXPECT_EQ(0u, TakePackets(*parser, block.get(), 0));
}

TEST_F(StreamIntakeTest, SuspendedParserIgnoresEveryPacketAndResetKeepsStorage)
{
    Packetizer sdt(kPidSdt);
    Bytes packets = sdt.Packetize(MakeSdt({0x42, 1, 1, 0, {{0x0400, 0x01, Raw("P"), Raw(std::string(200, 'n')), {}, true}}}));
    Feed(*parser, Bytes(packets.begin(), packets.begin() + 188));
    PidBuffer* buffer = parser->pidBuffers[kPidSdt];
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ(183, buffer->fill);
    ResetSectionBuffers(*parser);
    EXPECT_EQ(0, buffer->fill);
    EXPECT_NE(nullptr, buffer->data);
    Feed(*parser, Bytes(packets.begin() + 188, packets.end()));
    EXPECT_TRUE(recorder->sections.empty());

    parser->suspended = 1;
    Feed(*parser, MakeTotPacket({2026, 12, 7, 20, 0, 0}));
    EXPECT_EQ(0, parser->totYear);
}

TEST(Crc32Test, MatchesTheMpeg2CheckValueAndABitwiseReference)
{
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0x0376E6E7u, Crc32(check, sizeof check));

    Bytes data(1000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + 7);
    for (size_t n : {0u, 1u, 15u, 16u, 17u, 63u, 64u, 999u}) {
        uint32_t bitwise = 0xFFFFFFFFu;
        for (size_t i = 0; i < n; ++i) {
            bitwise ^= uint32_t(data[i]) << 24;
            for (int b = 0; b < 8; ++b) bitwise = bitwise & 0x80000000u ? bitwise << 1 ^ 0x04C11DB7u : bitwise << 1;
        }
        EXPECT_EQ(bitwise, Crc32(data.data(), n)) << n;
    }
}

}  // namespace
