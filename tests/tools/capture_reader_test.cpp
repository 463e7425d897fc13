#include <gtest/gtest.h>

#include <memory>

#include "capture_input.h"
#include "store_report.h"
#include "support/arib_encoder.h"
#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "ts/stream_parser.h"

namespace {

struct Read {
    CaptureStats stats;
    InspectReport report;
};

Read ReadCapture(const Bytes& capture)
{
    auto parser = std::make_unique<StreamParser>();
    Read r;
    r.stats = FeedCaptureBytes(*parser, capture);
    r.report = BuildInspectReport(*parser);
    return r;
}

// Every 188-byte packet with `before` bytes ahead of it and `after` behind it.
Bytes Restride(const Bytes& plain, const Bytes& before, const Bytes& after)
{
    Bytes out;
    for (size_t p = 0; p + 188 <= plain.size(); p += 188) {
        AppendBytes(out, before);
        out.insert(out.end(), plain.begin() + static_cast<long>(p), plain.begin() + static_cast<long>(p + 188));
        AppendBytes(out, after);
    }
    return out;
}

size_t EventCount(const InspectReport& report)
{
    size_t n = 0;
    for (const InspectService& s : report.services) n += s.events.size();
    return n;
}

Bytes OneServicePacket(uint16_t serviceId, const char8_t* title)
{
    EitSection eit;
    eit.tableId = 0x4E;
    eit.serviceId = serviceId;
    EitEvent e;
    e.start = {2026, 12, 7, 21, 0, 0};
    e.durationSeconds = 3600;
    e.descriptors = ShortEventDescriptor(EncodeArib(title), {});
    eit.events.push_back(e);
    return Packetizer(0x0012).Packetize(MakeEit(eit));
}

// The sample stream (several read blocks long) at each packet size, and cut at an arbitrary
// byte: the same store, the packet size found from the data, the cut part counted as skipped.
TEST(CaptureReaderTest, PacketSizesAndAMidPacketStartGiveTheSameStore)
{
    const Bytes plain = MakeSampleStream();
    const Read reference = ReadCapture(plain);
    ASSERT_GT(EventCount(reference.report), 100u);
    // Time codes whose bytes look like sync bytes, as a slowly changing top byte may.
    const Bytes timeCoded = Restride(plain, {0x47, 0x47, 0x00, 0x47}, {});
    const Bytes parity = Restride(plain, {}, Bytes{0x12, 0x47, 0x9C, 0x31, 0x05, 0xE8, 0x47, 0x70, 0xAB, 0x00, 0x3D, 0x47, 0xC4, 0x19, 0x82, 0x6E});
    const struct {
        Bytes capture;
        size_t stride;
    } cases[] = {{plain, 188}, {timeCoded, 192}, {parity, 204}};
    for (const auto& c : cases) {
        const Read r = ReadCapture(c.capture);
        EXPECT_EQ(c.stride, r.stats.stride);
        EXPECT_EQ(plain.size() / 188, r.stats.packets);
        EXPECT_EQ(0u, r.stats.skippedBytes);
        EXPECT_EQ(EventCount(reference.report), EventCount(r.report)) << c.stride;
    }
    const Bytes cut(plain.begin() + 100, plain.end());
    const Read r = ReadCapture(cut);
    EXPECT_EQ(plain.size() / 188 - 1, r.stats.packets);
    ASSERT_EQ(1u, r.stats.skips.size());
    EXPECT_EQ(0u, r.stats.skips[0].offset);
    EXPECT_EQ(88u, r.stats.skips[0].bytes);
    EXPECT_EQ(EventCount(reference.report), EventCount(r.report));
}

// Wherever a read block ends within a 192-byte unit, even between a packet and the next
// one's time code (here with sync-like bytes), the packets stay in step.
TEST(CaptureReaderTest, TimeCodedPacketsStayInStepAcrossBlockEnds)
{
    Bytes units;
    for (size_t bytes = 0; bytes < kReadBlockBytes + 16 * 192; bytes += 192)
        AppendBytes(units, Restride(MakeNullPacket(), {0x47, 0x47, 0x00, 0x47}, {}));
    for (size_t lead = 0; lead < 192; ++lead) {
        Bytes capture(lead, 0x00);
        AppendBytes(capture, units);
        StreamParser parser;
        const CaptureStats stats = FeedCaptureBytes(parser, capture);
        EXPECT_EQ(units.size() / 192, stats.packets) << lead;
        EXPECT_EQ(lead, stats.skippedBytes) << lead;
        EXPECT_TRUE(stats.onlyStuffing) << lead;  // else a packet was read out of step
    }
}

// Garbage holding sync bytes, and a packet cut short, between two services' sections: both
// stored, the stretch reported where it is; a truncated last packet is reported, not read.
TEST(CaptureReaderTest, DamagedStretchIsSkippedAndSyncFoundAgain)
{
    for (size_t stride : {size_t{188}, size_t{204}}) {
        const Bytes pad(stride - 188, 0xAB);
        Bytes before = MakeTotPacket({2026, 12, 7, 20, 0, 0});
        AppendBytes(before, OneServicePacket(0x0400, u8"前の番組"));
        for (int i = 0; i < 5; ++i) AppendBytes(before, MakeNullPacket());
        before = Restride(before, {}, pad);
        Bytes damage(500);
        for (size_t i = 5; i < damage.size(); i += 13) damage[i] = 0x47;
        damage.insert(damage.end(), before.begin(), before.begin() + 100);  // a packet cut short
        Bytes after = OneServicePacket(0x0401, u8"後の番組");
        for (int i = 0; i < 5; ++i) AppendBytes(after, MakeNullPacket());
        after = Restride(after, {}, pad);
        Bytes capture = before;
        AppendBytes(capture, damage);
        AppendBytes(capture, after);
        capture.resize(capture.size() - 50);

        const Read r = ReadCapture(capture);
        ASSERT_EQ(2u, r.report.services.size()) << stride;
        EXPECT_EQ(1u, r.report.services[0].events.size());
        EXPECT_EQ(1u, r.report.services[1].events.size());
        ASSERT_EQ(1u, r.stats.skips.size());
        EXPECT_EQ(before.size(), r.stats.skips[0].offset);
        EXPECT_EQ(damage.size(), r.stats.skips[0].bytes);
        EXPECT_EQ(stride - 50, r.stats.truncatedTail);
    }
}

TEST(CaptureReaderTest, InputsWithoutPacketsAreToldApart)
{
    StreamParser parser;
    EXPECT_EQ(0u, FeedCaptureBytes(parser, {}).bytesRead);
    Bytes noise(5000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7 % 71);  // no 0x47
    const CaptureStats garbage = FeedCaptureBytes(parser, noise);
    EXPECT_EQ(0u, garbage.packets);
    EXPECT_EQ(noise.size(), garbage.skippedBytes);
    Bytes stuffing;
    for (int i = 0; i < 10; ++i) AppendBytes(stuffing, MakeNullPacket());
    const CaptureStats nulls = FeedCaptureBytes(parser, stuffing);
    EXPECT_EQ(10u, nulls.packets);
    EXPECT_TRUE(nulls.onlyStuffing);
    Bytes trailingNoise = OneServicePacket(0x0400, u8"番組");
    trailingNoise.resize(trailingNoise.size() + 50, 0x00);
    const CaptureStats noiseAtEnd = FeedCaptureBytes(parser, trailingNoise);
    EXPECT_FALSE(noiseAtEnd.onlyStuffing);
    EXPECT_EQ(0u, noiseAtEnd.truncatedTail);  // bytes that start no packet are no packet cut short
    EXPECT_EQ(50u, noiseAtEnd.skippedBytes);
}

}  // namespace
