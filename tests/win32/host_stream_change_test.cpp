// Stream changes through the host interface: the steps' stop points, channel stamping,
// the tuning timer, and the two threads a real host calls from.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host_fixture.h"
#include "store/service_entry.h"

namespace {

class HostStreamChange : public PluginHost {
protected:
    const ServiceEntry* Stored(uint16_t serviceId)
    {
        const StreamParser* parser = View().parser;
        for (int i = 0; parser && i < parser->store.serviceCount; ++i)
            if (parser->store.services[i]->serviceId == serviceId) return parser->store.services[i];
        return nullptr;
    }
    int StoredCount() { return View().parser ? View().parser->store.serviceCount : -1; }

    // The host has no call that makes a tuning request pending, so the test plants one.
    void PlantPendingRequest(int serviceId) { View().pendingServiceId = serviceId; }

    MessageObserver TimerObserver(DWORD& firedAt)
    {
        const HWND window = View().hWnd;
        return [window, &firedAt](const MSG& msg) {
            if (msg.hwnd == window && msg.message == WM_TIMER && msg.wParam == kTuneTimerId && !firedAt)
                firedAt = GetTickCount();
        };
    }
};

TEST_F(HostStreamChange, NoServiceOnlyClearsTheSectionBuffers)
{
    Start();
    PluginSectionTap tap(View().parser);
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    plugin.StreamData(packets.data(), 188);
    EXPECT_EQ(plugin.StreamChange(13, 0xFFFF), 1u);
    plugin.StreamData(packets.data() + 188, 188);
    EXPECT_TRUE(tap.sections.empty());
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(HostStreamChange, FirstChangeToServiceZeroStopsAtTheRepeatedId)
{
    Start();
    host.SetServices({0x0400, 0x0401, 0x0408});
    EXPECT_EQ(plugin.StreamChange(13, 0), 1u);
    const std::vector<HostCall> calls = host.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, kSlotGetServiceList);
    EXPECT_EQ(calls[0].countIn, 20);
    EXPECT_TRUE(calls[0].bufferZeroed);
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(View().currentServiceId, -1);
    EXPECT_EQ(View().currentChannel, -1);
}

TEST_F(HostStreamChange, ServicesKeepTheFirstChannelTheyWereSeenOn)
{
    Start();
    host.SetServices({0x0400, 0x0401, 0x0408});
    plugin.StreamChange(13, 0x0400);
    ASSERT_EQ(StoredCount(), 3);
    for (uint16_t id : {0x0400, 0x0401, 0x0408}) EXPECT_EQ(Stored(id)->channel, 13) << id;
    EXPECT_EQ(View().currentServiceId, 0x0400);
    EXPECT_EQ(View().currentChannel, 13);

    host.SetServices({0x0400, 0x0401, 0x0408, 0x0410});
    plugin.StreamChange(27, 0x0410);
    for (uint16_t id : {0x0400, 0x0401, 0x0408}) EXPECT_EQ(Stored(id)->channel, 13) << id;
    EXPECT_EQ(Stored(0x0410)->channel, 27);
    EXPECT_EQ(View().currentChannel, 27);
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList), 2);
}

TEST_F(HostStreamChange, NoUsableListKeepsTheCurrentStream)
{
    Start();
    host.SetServices({0x0400}, 0);  // failure
    plugin.StreamChange(13, 0x0400);
    host.SetServices({0x0400}, 1, 20);  // a full buffer
    plugin.StreamChange(13, 0x0400);
    host.SetServices({0x0400}, 1, 100000);  // more than the buffer holds
    plugin.StreamChange(13, 0x0400);
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList), 3);
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(View().currentServiceId, -1);
}

TEST_F(HostStreamChange, TuningTimerRestartsWhileARequestIsPending)
{
    Start();
    host.SetServices({0x0400, 0x0401, 0x0408});
    plugin.StreamChange(13, 0x0401);
    EXPECT_EQ(View().tuneTimer, 0u);

    PlantPendingRequest(0x0408);
    View().tuneTicks = 7;
    plugin.StreamChange(13, 0x0400);
    EXPECT_EQ(View().tuneTimer, kTuneTimerId);
    EXPECT_EQ(View().tuneTicks, 0);
    DWORD firedAt = 0;
    PumpFor(1000, TimerObserver(firedAt));
    EXPECT_EQ(firedAt, 0u);

    View().tuneTicks = 3;
    const DWORD restartedAt = GetTickCount();
    plugin.StreamChange(13, 0x0408);
    EXPECT_EQ(View().tuneTicks, 0);
    ASSERT_TRUE(PumpUntil([&] { return firedAt != 0; }, 5000, TimerObserver(firedAt)));
    // Had the first timer kept running it would have fired about 1000 ms after the restart.
    EXPECT_GE(firedAt - restartedAt, 1800u);
    EXPECT_LE(firedAt - restartedAt, 4000u);
}

TEST_F(HostStreamChange, CaptureThreadChangeDoesNotWaitForTheWindow)
{
    Start();
    host.SetServices({0x0400, 0x0408});
    PlantPendingRequest(0x0408);
    std::atomic<bool> done{false};
    std::thread capture([&] {
        plugin.StreamChange(13, 0x0408);
        done = true;
    });
    // The window's thread does not pump, as when it is inside a host call.
    for (int i = 0; i < 500 && !done; ++i) Sleep(10);
    EXPECT_TRUE(done) << "the stream change waited for the window's thread";
    if (!done) PumpUntil([&] { return done.load(); }, 5000);
    capture.join();

    ASSERT_EQ(host.Calls().size(), 1u);
    EXPECT_NE(host.Calls()[0].threadId, GetCurrentThreadId());
    EXPECT_EQ(View().tuneTimer, 0u);  // window work waits for the window's thread
    PumpFor(50);
    EXPECT_EQ(View().tuneTimer, kTuneTimerId);
    EXPECT_EQ(Stored(0x0408)->channel, 13);
}

TEST_F(HostStreamChange, HostMayWaitForItsCaptureThreadInsideAHostCall)
{
    Start();
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
    EXPECT_EQ(View().currentServiceId, 0x0400);
}

}  // namespace
