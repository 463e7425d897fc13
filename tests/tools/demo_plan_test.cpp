#include <gtest/gtest.h>

#include <memory>

#include "demo_plan.h"
#include "support/sample_stream.h"
#include "ts/stream_parser.h"

namespace {

TEST(DemoPlanTest, CommandLine)
{
    const DemoOptions defaults = ParseDemoOptions({});
    EXPECT_TRUE(defaults.error.empty());
    EXPECT_TRUE(defaults.stream.empty());
    EXPECT_EQ(1.0, defaults.speed);
    EXPECT_EQ(0, defaults.seconds);
    EXPECT_FALSE(defaults.print);

    const DemoOptions all = ParseDemoOptions({"--speed", "10", "cap.ts", "--seconds", "20", "--png", "out", "--print", "--fresh"});
    EXPECT_TRUE(all.error.empty()) << all.error;
    EXPECT_EQ("cap.ts", all.stream);
    EXPECT_EQ(10.0, all.speed);
    EXPECT_EQ(20, all.seconds);
    EXPECT_EQ("out", all.pngDir);
    EXPECT_TRUE(all.print);
    EXPECT_TRUE(all.printFile.empty());
    EXPECT_TRUE(all.fresh);
    EXPECT_FALSE(defaults.fresh);

    const DemoOptions toFile = ParseDemoOptions({"--print=rows.txt"});
    EXPECT_TRUE(toFile.print);
    EXPECT_EQ("rows.txt", toFile.printFile);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--speed"}, {"--speed", "0"}, {"--speed", "fast"}, {"--seconds", "-3"},
          {"--png"}, {"a.ts", "b.ts"}, {"--loop"}}) {
        EXPECT_FALSE(ParseDemoOptions(bad).error.empty()) << bad.front();
    }
}

TEST(DemoPlanTest, ServicesOfOneBroadcasterShareAChannel)
{
    const std::vector<DemoChannel> plan = PlanChannels({0x0400, 0x0401, 0x0408, 0x0410, 0x0400, 0x0402});
    ASSERT_EQ(3u, plan.size());
    EXPECT_EQ(27, plan[0].channel);
    EXPECT_EQ((std::vector<uint32_t>{0x0400, 0x0401, 0x0402}), plan[0].serviceIds);
    EXPECT_EQ(25, plan[1].channel);
    EXPECT_EQ(23, plan[2].channel);

    std::vector<uint32_t> many;
    for (uint32_t g = 0; g < 30; ++g) many.push_back(0x1000 + 8 * g);
    const std::vector<DemoChannel> wide = PlanChannels(many);
    EXPECT_EQ(13, wide[7].channel);
    EXPECT_EQ(28, wide[8].channel);
    EXPECT_EQ(62, wide[29].channel);
}

TEST(DemoPlanTest, TheSampleStreamsServicesComeFromItsSdt)
{
    auto parser = std::make_unique<StreamParser>();
    const Bytes stream = MakeSampleStream();
    TakePackets(*parser, stream.data(), stream.size());
    const std::vector<uint32_t> ids = StreamServiceIds(*parser);
    EXPECT_EQ((std::vector<uint32_t>{0x0400, 0x0401, 0x0408, 0x0410, 0x0418, 0x0420}), ids);
    EXPECT_EQ(5u, PlanChannels(ids).size());
}

TEST(DemoPlanTest, TunerFollowsTheCallsItCanAnswer)
{
    DemoTuner tuner(PlanChannels({0x0400, 0x0401, 0x0408}));
    // The scan visits every channel once and ends on the first.
    EXPECT_EQ((std::vector<TuneEvent>{{25, 0x0408}, {27, 0x0400}}), tuner.StartUpScan());
    EXPECT_EQ(27, tuner.Channel());
    EXPECT_EQ((std::vector<uint32_t>{0x0400, 0x0401}), tuner.CurrentServices());

    EXPECT_EQ((TuneEvent{27, 0x0401}), tuner.ChangeServiceID(0x0401));
    // A service of another channel needs the channel first.
    EXPECT_FALSE(tuner.ChangeServiceID(0x0408));
    EXPECT_FALSE(tuner.SelectChannel(40));
    EXPECT_EQ(0x0401u, tuner.ServiceId());

    EXPECT_EQ((TuneEvent{25, 0x0408}), tuner.SelectChannel(25));
    EXPECT_EQ((std::vector<uint32_t>{0x0408}), tuner.CurrentServices());
    EXPECT_FALSE(tuner.ChangeServiceID(0x0400));

    DemoTuner empty({});
    EXPECT_TRUE(empty.StartUpScan().empty());
    EXPECT_TRUE(empty.CurrentServices().empty());
}

TEST(DemoPlanTest, BroadcastPaceInWholePackets)
{
    EXPECT_EQ(0u, BytesDue(0, 1.0));
    EXPECT_EQ(1999944u, BytesDue(1000, 1.0));  // 10638 packets
    EXPECT_EQ(0u, BytesDue(1000, 1.0) % 188);
    EXPECT_EQ(BytesDue(10000, 1.0) / 188, BytesDue(1000, 10.0) / 188);
    EXPECT_EQ(0u, BytesDue(UINT64_MAX / 2, 1000000.0) % 188);  // no overflow at absurd speeds
}

}  // namespace
