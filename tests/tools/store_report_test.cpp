#include <gtest/gtest.h>

#include <memory>

#include "changelog/change_log.h"
#include "capture_input.h"
#include "store_report.h"
#include "support/arib_encoder.h"
#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "support/sjis_text.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"

namespace {

InspectReport ReportOf(const Bytes& capture)
{
    auto parser = std::make_unique<StreamParser>();
    FeedCaptureBytes(*parser, capture);
    return BuildInspectReport(*parser);
}

TEST(InspectTest, ReadsTheSampleStreamWithDecodedNamesAndEvents)
{
    PinJapanTime();
    InspectReport report = ReportOf(MakeSampleStream());
    EXPECT_EQ("2026-12-08T00:00:55", report.tot);
    ASSERT_EQ(6u, report.services.size());
    const InspectService& first = report.services[0];
    EXPECT_EQ(0x0400u, first.serviceId);
    EXPECT_EQ(Utf8(u8"ルマーラ総合"), first.serviceName);
    EXPECT_EQ(Utf8(u8"ルマーラ放送網"), first.providerName);
    EXPECT_EQ(Utf8(u8"ルマーラ"), first.tsName);
    EXPECT_EQ(1u, first.remoteKeyId);
    // After the day change the schedule starts at midnight of the new day.
    ASSERT_GT(first.events.size(), 2u);
    const InspectEvent& scheduled = first.events[2];
    EXPECT_EQ(0x50, scheduled.tableId);
    EXPECT_EQ("2026-12-08T00:00:00", scheduled.start);
    EXPECT_EQ(3600, scheduled.duration);
    EXPECT_EQ(Utf8(u8"映画「星の海」"), scheduled.title);
}

TEST(InspectTest, TimeCodedPacketsGiveTheSameReport)
{
    Bytes plain = MakeTotPacket({2026, 12, 7, 21, 0, 0});
    EitSection eit;
    eit.tableId = 0x4E;
    eit.serviceId = 0x0400;
    EitEvent e;
    e.start = {2026, 12, 7, 23, 30, 0};
    e.durationSeconds = 105 * 60;
    e.descriptors = ShortEventDescriptor(EncodeArib(u8"深夜映画"), {});
    eit.events.push_back(e);
    AppendBytes(plain, Packetizer(0x0012).Packetize(MakeEit(eit)));
    Bytes timeCoded;
    for (size_t p = 0; p < plain.size(); p += 188) {
        AppendBytes(timeCoded, {0x12, 0x34, 0x56, 0x78});
        timeCoded.insert(timeCoded.end(), plain.begin() + static_cast<long>(p), plain.begin() + static_cast<long>(p + 188));
    }
    StreamParser probe;
    EXPECT_EQ(188u, FeedCaptureBytes(probe, plain).stride);
    EXPECT_EQ(192u, FeedCaptureBytes(probe, timeCoded).stride);
    InspectReport a = ReportOf(plain);
    InspectReport b = ReportOf(timeCoded);
    ASSERT_EQ(1u, b.services.size());
    ASSERT_EQ(1u, b.services[0].events.size());
    EXPECT_EQ(a.services[0].events[0].title, b.services[0].events[0].title);
    EXPECT_EQ("2026-12-08T01:15:00", b.services[0].events[0].end);
    EXPECT_EQ(Utf8(u8"深夜映画"), b.services[0].events[0].title);
}

TEST(InspectTest, ChangeRecordSidesPrintTheirTimesTypesAndName)
{
    PinJapanTime();
    EventSnapshot side;
    side.start = LocalTimeStamp(2026, 12, 7, 21, 0, 0);
    side.end = side.start + 3600;
    side.videoType = 0xB3;
    side.audioType = 0x03;
    side.genre = 6;
    Bytes name = EncodeArib(u8"映画「星の海」");
    side.nameLength = static_cast<uint16_t>(name.size());
    std::copy(name.begin(), name.end(), side.name);
    EXPECT_EQ(Utf8(u8"2026-12-07T21:00:00 - 22:00:00  video 0xB3 audio 0x03 genre 6  映画「星の海」"), SnapshotText(side));
    EXPECT_EQ(Utf8(u8"{\"start\": \"2026-12-07T21:00:00\", \"end\": \"2026-12-07T22:00:00\", \"video_type\": 179, "
                   u8"\"audio_type\": 3, \"genre\": 6, \"name\": \"映画「星の海」\"}"),
              SnapshotJson(side));
    EXPECT_EQ("(none)", SnapshotText(EventSnapshot{}));
    EXPECT_EQ("null", SnapshotJson(EventSnapshot{}));
}

TEST(InspectTest, JsonStringsAreEscaped)
{
    EXPECT_EQ("\"a\\\"b\\\\c\\u000d\"", JsonString("a\"b\\c\r"));
}

}  // namespace
