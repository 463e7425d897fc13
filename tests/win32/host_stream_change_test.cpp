// Stream changes through the host interface: the steps' stop points, channel stamping,
// the tuning timer, and the two threads a real host calls from.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "list_window_probe.h"

namespace {

constexpr int kSlotSelectChannel = 1;
constexpr int kSlotChangeServiceId = 3;

class HostStreamChange : public ListWindowHost {
protected:
    MessageObserver TimerObserver(DWORD& firedAt)
    {
        const HWND window = MainWindow();
        return [window, &firedAt](const MSG& msg) {
            if (msg.hwnd == window && msg.message == WM_TIMER && msg.wParam == kTuneTimerId && !firedAt)
                firedAt = GetTickCount();
        };
    }

    // No timer to stop means none was running; a running one is seen by its ticks instead.
    bool TuneTimerStopped() { return !KillTimer(MainWindow(), kTuneTimerId); }

    // The user's way to a tuning request: a double click on a service of channel 13 while
    // channel 27 is received. The host does not answer its SelectChannel.
    void RequestTuningOfChannel13()
    {
        FeedSampleStream();
        ReportChannels();  // receiving 0x0408 on channel 27
        ASSERT_TRUE(WaitForItems(6));
        DoubleClickItem(List(), FindItem(List(), "ルマーラ総合"));
        ASSERT_TRUE(PumpUntil([&] { return host.CallsTo(kSlotSelectChannel) == 1; }, 2000));
    }

    // Every service of the sample stream without a channel.
    static void ExpectNoChannels(const ProgrammeStore& stored)
    {
        EXPECT_EQ(stored.serviceCount, 6);
        for (int i = 0; i < stored.serviceCount; ++i)
            EXPECT_EQ(stored.services[i]->channel, 0) << stored.services[i]->serviceId;
    }
};

TEST_F(HostStreamChange, NoServiceOnlyClearsTheSectionBuffers)
{
    Start();
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    plugin.StreamData(packets.data(), 188);
    EXPECT_EQ(plugin.StreamChange(13, 0xFFFF), 1u);
    plugin.StreamData(packets.data() + 188, 188);
    EXPECT_TRUE(host.Calls().empty());
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    EXPECT_EQ(stored.serviceCount, 0) << "the section's first half was dropped";
}

TEST_F(HostStreamChange, FirstChangeToServiceZeroStopsAtTheRepeatedId)
{
    Start();
    FeedSampleStream();
    host.SetServices({0x0400, 0x0401, 0x0408});
    EXPECT_EQ(plugin.StreamChange(13, 0), 1u);
    const std::vector<HostCall> calls = host.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, kSlotGetServiceList);
    EXPECT_EQ(calls[0].countIn, 20);
    EXPECT_TRUE(calls[0].bufferZeroed);
    ASSERT_TRUE(WaitForItems(6));
    EXPECT_TRUE(CurrentServiceRows(List()).empty()) << "no service received";
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    ExpectNoChannels(stored);
}

TEST_F(HostStreamChange, ServicesKeepTheFirstChannelTheyWereSeenOn)
{
    Start();
    FeedSampleStream();
    host.SetServices({0x0400, 0x0401, 0x0408});
    plugin.StreamChange(13, 0x0400);
    ASSERT_TRUE(WaitForItems(6));  // rows built with the channels of this change
    EXPECT_EQ(CurrentServiceRows(List()), std::vector<int>{FindItem(List(), "ルマーラ総合")});
    // On channel 13 a service of the same channel is tuned by its id alone, on two ticks.
    DoubleClickItem(List(), FindItem(List(), "みなとテレビ"));
    ASSERT_TRUE(PumpUntil([&] { return host.CallsTo(kSlotChangeServiceId) == 2; }, 3000));
    EXPECT_EQ(host.CallsTo(kSlotSelectChannel), 0);
    PumpFor(100);

    host.SetServices({0x0400, 0x0401, 0x0408, 0x0410});
    plugin.StreamChange(27, 0x0410);
    EXPECT_EQ(CurrentServiceRows(List()), std::vector<int>{FindItem(List(), "さくら放送")});
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList), 2);
    // Channel 27 is received now: a service of channel 13 is tuned by its channel first.
    DoubleClickItem(List(), FindItem(List(), "みなとテレビ"));
    ASSERT_TRUE(PumpUntil([&] { return host.CallsTo(kSlotSelectChannel) == 1; }, 2000));
    EXPECT_EQ(host.Calls().back().argument, 13);

    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    for (uint16_t id : {0x0400, 0x0401, 0x0408}) {
        ASSERT_NE(FindStored(stored, id), nullptr) << id;
        EXPECT_EQ(FindStored(stored, id)->channel, 13) << id;
    }
    ASSERT_NE(FindStored(stored, 0x0410), nullptr);
    EXPECT_EQ(FindStored(stored, 0x0410)->channel, 27);
}

TEST_F(HostStreamChange, NoUsableListKeepsTheCurrentStream)
{
    Start();
    FeedSampleStream();
    host.SetServices({0x0400}, 0);  // failure
    plugin.StreamChange(13, 0x0400);
    host.SetServices({0x0400}, 1, 20);  // a full buffer
    plugin.StreamChange(13, 0x0400);
    host.SetServices({0x0400}, 1, 100000);  // more than the buffer holds
    plugin.StreamChange(13, 0x0400);
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList), 3);
    ASSERT_TRUE(WaitForItems(6));
    EXPECT_TRUE(CurrentServiceRows(List()).empty());
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    ExpectNoChannels(stored);
}

TEST_F(HostStreamChange, TuningTimerRestartsWhileARequestIsPending)
{
    Start();
    RequestTuningOfChannel13();  // the timer runs from here, for 0x0400
    host.SetServices({0x0400, 0x0401});
    PumpFor(500);
    plugin.StreamChange(13, 0x0401);
    DWORD firedAt = 0;
    PumpFor(1000, TimerObserver(firedAt));
    EXPECT_EQ(firedAt, 0u);

    const DWORD restartedAt = GetTickCount();
    plugin.StreamChange(13, 0x0400);
    ASSERT_TRUE(PumpUntil([&] { return firedAt != 0; }, 5000, TimerObserver(firedAt)));
    // Had the first timer kept running it would have fired about 1000 ms after the restart.
    EXPECT_GE(firedAt - restartedAt, 1800u);
    EXPECT_LE(firedAt - restartedAt, 4000u);

    // A tick has counted; a change restarts the count as well: the request, away from its
    // service again, asks for it on two more ticks before it lapses.
    plugin.StreamChange(13, 0x0401);
    PumpFor(4600);
    const std::vector<HostCall> calls = host.Calls();
    const int changes = static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [](const HostCall& c) { return c.slot == kSlotChangeServiceId; }));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(calls.back().argument, 0x0400);
    EXPECT_TRUE(TuneTimerStopped()) << "the request lapsed";
}

TEST_F(HostStreamChange, CaptureThreadChangeDoesNotWaitForTheWindow)
{
    Start();
    FeedSampleStream();
    ReportChannels();
    EXPECT_TRUE(TuneTimerStopped()) << "changes without a request start no timer";
    ASSERT_TRUE(WaitForItems(6));
    DoubleClickItem(List(), FindItem(List(), "ルマーラ総合"));
    ASSERT_TRUE(PumpUntil([&] { return host.CallsTo(kSlotSelectChannel) == 1; }, 2000));
    const size_t callsBefore = host.Calls().size();
    Sleep(1000);  // the request's timer, not pumped, is due 1 s from here
    host.SetServices({0x0400, 0x0401, 0x0430});
    const DWORD changedAt = GetTickCount();
    std::atomic<bool> done{false};
    std::thread capture([&] {
        plugin.StreamChange(13, 0x0401);
        done = true;
    });
    // The window's thread does not pump, as when it is inside a host call.
    for (int i = 0; i < 500 && !done; ++i) Sleep(10);
    EXPECT_TRUE(done) << "the stream change waited for the window's thread";
    if (!done) PumpUntil([&] { return done.load(); }, 5000);
    capture.join();

    ASSERT_EQ(host.Calls().size(), callsBefore + 1);
    EXPECT_NE(host.Calls().back().threadId, GetCurrentThreadId());
    // The timer restarts once the window's thread takes the posted work.
    DWORD firedAt = 0;
    ASSERT_TRUE(PumpUntil([&] { return firedAt != 0; }, 5000, TimerObserver(firedAt)));
    EXPECT_GE(firedAt - changedAt, 1800u);
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    ASSERT_NE(FindStored(stored, 0x0430), nullptr);
    EXPECT_EQ(FindStored(stored, 0x0430)->channel, 13);
}

TEST_F(HostStreamChange, HostMayWaitForItsCaptureThreadInsideAHostCall)
{
    Start();
    FeedSampleStream();
    ASSERT_TRUE(WaitForItems(6));
    host.SetServices({0x0400, 0x0408});
    const DWORD windowThread = GetCurrentThreadId();
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    bool captureFinished = false;
    host.duringGetServiceList = [&] {
        if (GetCurrentThreadId() != windowThread) return;
        // The host lets its capture thread finish a block and a stream change first.
        std::atomic<bool> done{false};
        std::thread capture([&] {
            plugin.StreamData(packets.data(), static_cast<uint32_t>(packets.size()));
            plugin.StreamChange(27, 0xFFFF);
            done = true;
        });
        for (int i = 0; i < 500 && !done; ++i) Sleep(10);
        captureFinished = done;
        if (done)
            capture.join();
        else
            capture.detach();
    };
    plugin.StreamChange(13, 0x0400);
    host.duringGetServiceList = nullptr;
    EXPECT_TRUE(captureFinished) << "the plug-in held its lock while calling the host";
    EXPECT_EQ(CurrentServiceRows(List()), std::vector<int>{0}) << "receiving 0x0400";
}

}  // namespace
