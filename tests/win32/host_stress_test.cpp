// The host's capture thread feeds a generated multiplex at 20 times its broadcast rate for
// 10 s while stream changes arrive on both threads and the tuning timer runs. The cache the
// plug-in writes at the end must be byte for byte that of a single-threaded run of the same
// blocks with the stream changes at the same block boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include "dialogs_probe.h"
#include "stream_feeder.h"
#include "support/sample_stream.h"

namespace {

constexpr int kBroadcastSeconds = 200;  // fed in 10 s: 20 times the broadcast rate
constexpr unsigned kFeedMs = 10000;
constexpr size_t kMultiplexBytesPerSecond = 2'000'000;  // a terrestrial multiplex, about
// Real seconds into the feed at which the stream changes; the gaps let timer 1002 fire.
constexpr double kChangeTimes[] = {0.4, 0.8, 1.2, 1.6, 2.0, 4.4, 4.8, 5.2, 5.6, 8.0, 8.3, 8.6};
constexpr uint16_t kServiceIds[] = {0x0400, 0x0401, 0x0408, 0x0410, 0x0418, 0x0420};

struct PlannedChange {
    int channel = 0;
    int serviceId = 0;
    bool onWindowThread = false;
};

std::map<size_t, PlannedChange> PlanChanges(size_t blockCount)
{
    std::map<size_t, PlannedChange> changes;
    int n = 0;
    for (double t : kChangeTimes) {
        const size_t block = static_cast<size_t>(t * 1000 / kFeedMs * static_cast<double>(blockCount));
        // Every fourth change has no service; the others walk the services and two channels.
        const int serviceId = n % 4 == 3 ? 0xFFFF : kServiceIds[n % 6];
        changes[block] = {13 + n % 2 * 14, serviceId, n % 2 == 1};
        ++n;
    }
    return changes;
}

// The cache image of a single-threaded run: the start the test host gives the plug-in (the
// sample stream and its channels), then the blocks with the changes' buffer resets.
std::vector<uint8_t> SingleThreadedCache(const std::vector<Bytes>& blocks,
                                         const std::map<size_t, PlannedChange>& changes, size_t& sections)
{
    StreamParser parser;
    const Bytes start = MakeSampleStream();
    TakePackets(parser, start.data(), start.size());
    ResetSectionBuffers(parser);
    for (const auto& [ids, channel] : {std::pair{std::vector<uint16_t>{0x0400, 0x0401}, 13},
                                       std::pair{std::vector<uint16_t>{0x0408, 0x0410, 0x0418, 0x0420}, 27}})
        for (uint16_t id : ids) {
            const int at = FindOrAddService(parser.store, id);
            if (at != kNoService && parser.store.services[at]->channel == 0)
                parser.store.services[at]->channel = static_cast<uint16_t>(channel);
        }
    PluginSectionTap tap(&parser);
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (changes.count(i)) ResetSectionBuffers(parser);
        TakePackets(parser, blocks[i].data(), blocks[i].size());
    }
    sections = tap.sections.size();
    // The window's change detection zeroes the version counts at its ticks, and a loaded
    // cache starts from zero: only the stored sections and services are compared.
    for (int i = 0; i < parser.store.serviceCount; ++i) {
        ServiceEntry& service = *parser.store.services[i];
        for (SectionSlot& slot : service.presentFollowing) slot.versionChanges = 0;
        for (int k = 0; k < kScheduleSlots; ++k)
            service.schedule[k].versionChanges = service.scheduleExtended[k].versionChanges = 0;
    }
    std::vector<uint8_t> image;
    BuildEventCacheImage(parser.store, image);
    return image;
}

using HostStress = ListWindowHost;

// Services in id order, each once, every listed one stamped with a channel.
void ExpectConsistentStore(const ProgrammeStore& store, size_t listed)
{
    ASSERT_EQ(store.serviceCount, static_cast<int>(listed));
    for (int i = 0; i < store.serviceCount; ++i) {
        ASSERT_NE(store.services[i], nullptr);
        EXPECT_NE(store.services[i]->channel, 0);
        if (i > 0) {
            EXPECT_LT(store.services[i - 1]->serviceId, store.services[i]->serviceId);
        }
    }
}

TEST_F(HostStress, ThreadedFeedHandsOnTheSameSections)
{
    // Today's eight-day schedule, most of whose sections go out once in these 200 seconds:
    // a section lost or made up shows in the store.
    SampleStreamOptions options;
    const BroadcastTime now = LocalBroadcastTime(std::time(nullptr));
    options.start = {now.year, now.month, now.day, 0, 10, 0};
    options.seconds = kBroadcastSeconds;
    options.scheduleDays = 8;
    options.nullPacketsPerPsi = 8;
    const Bytes stream = MakeSampleStream(options);
    const std::vector<Bytes> blocks = CutBlocks(stream, {188 * 64, 188 * 7, 188 * 200, 188});
    const std::map<size_t, PlannedChange> changes = PlanChanges(blocks.size());
    size_t sections = 0;
    const std::vector<uint8_t> expected = SingleThreadedCache(blocks, changes, sections);
    ASSERT_GT(sections, 500u);

    // A tuning request waits (a double click on a channel-13 service while 27 is received),
    // so every change re-arms the timer.
    Start();
    FeedSampleStream();
    ReportChannels();
    ASSERT_TRUE(WaitForItems(6));
    std::vector<uint32_t> listed(std::begin(kServiceIds), std::end(kServiceIds));
    host.SetServices(listed);
    const int listRequestsBefore = host.CallsTo(kSlotGetServiceList);
    DoubleClickItem(List(), FindItem(List(), "ルマーラ総合"));
    ASSERT_TRUE(PumpUntil([&] { return host.CallsTo(1) == 1; }, 2000)) << "SelectChannel";

    // A change on the window's thread has dropped the partial sections once the host is
    // asked for its list; the capture thread goes on feeding while the change finishes.
    const DWORD windowThread = GetCurrentThreadId();
    HANDLE listAsked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    host.duringGetServiceList = [&] {
        if (GetCurrentThreadId() != windowThread) return;
        SetEvent(listAsked);
        Sleep(20);
    };
    const size_t padding = (kMultiplexBytesPerSecond * kBroadcastSeconds - stream.size()) / blocks.size() / 188 * 188;
    FeedPlan plan{blocks, padding, kFeedMs, [&](size_t i) {
        const auto change = changes.find(i);
        if (change == changes.end()) return;
        const PlannedChange c = change->second;
        if (!c.onWindowThread) {
            plugin.StreamChange(c.channel, c.serviceId);
        } else if (c.serviceId == 0xFFFF) {
            windows.RunOnWindowThread([&] { plugin.StreamChange(c.channel, c.serviceId); });
        } else {
            windows.PostToWindowThread([this, c] { plugin.StreamChange(c.channel, c.serviceId); });
            WaitForSingleObject(listAsked, 5000);
        }
    }};
    StreamFeeder feeder(plugin, std::move(plan));
    int tuneTicks = 0;
    const HWND window = MainWindow();
    feeder.Start();
    const bool finished = PumpUntil([&] { return feeder.Done(); }, 60000, [&](const MSG& msg) {
        if (msg.hwnd == window && msg.message == WM_TIMER && msg.wParam == kTuneTimerId) ++tuneTicks;
    });
    if (!finished) {
        // A deadlocked plug-in cannot be torn down; end the process with the failure.
        ADD_FAILURE() << "the feed did not finish: deadlock";
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    feeder.Join();
    PumpFor(100);
    host.duringGetServiceList = nullptr;
    CloseHandle(listAsked);
    std::printf("fed %zu bytes in %zu blocks, %d tuning ticks\n", feeder.BytesFed(), blocks.size(), tuneTicks);

    EXPECT_GT(tuneTicks, 0);
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList) - listRequestsBefore, 9);  // the changes with a service
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    ExpectConsistentStore(stored, listed.size());
    std::vector<uint8_t> written;
    ASSERT_TRUE(BuildEventCacheImage(stored, written));
    ASSERT_EQ(written.size(), expected.size());
    const auto differs = std::mismatch(written.begin(), written.end(), expected.begin());
    EXPECT_TRUE(differs.first == written.end()) << "the stored sections differ at cache byte " << (differs.first - written.begin());
}

}  // namespace
