// The host at full load: its capture thread feeds the sample multiplex at 50 times the
// broadcast rate for 30 s while stream changes arrive from a thread of their own and from the
// window's thread, the one-second tick rebuilds the rows, and the user clicks rows, opens
// the details popup, the programme menu, the update information and the modal settings
// dialog. No crash, no deadlock, and at the end the store holds every EIT section of the
// stream, as a single-threaded parser of the same blocks does.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>
#include <thread>

#include "dialogs_probe.h"
#include "host_watchers.h"
#include "stream_feeder.h"
#include "support/sample_stream.h"

namespace {

constexpr int kRateFactor = 50;
constexpr unsigned kFeedMs = 30000;
constexpr int kBroadcastSeconds = kRateFactor * static_cast<int>(kFeedMs) / 1000;
constexpr size_t kMultiplexBytesPerSecond = 2'000'000;  // a terrestrial multiplex, about
constexpr uint16_t kServiceIds[] = {0x0400, 0x0401, 0x0408, 0x0410, 0x0418, 0x0420};
constexpr int kWithoutService = 0xFFFF;
constexpr DWORD kAnswerTimeoutMs = 10000;
constexpr DWORD kModalHoldMs = 300;
constexpr DWORD kFeedDeadlineMs = kFeedMs + 60000;
constexpr DWORD kUserStepMs = 40;

SampleStreamOptions StreamOptions()
{
    SampleStreamOptions options;
    // 25 broadcast minutes early today: the eight-day schedule from today's midnight goes
    // out once, no section meets a day change, and the rows have programmes on air.
    const BroadcastTime now = LocalBroadcastTime(std::time(nullptr));
    options.start = {now.year, now.month, now.day, 0, 10, 0};
    options.seconds = kBroadcastSeconds;
    options.scheduleDays = 8;
    options.nullPacketsPerPsi = 8;
    return options;
}

uint16_t PidOf(const uint8_t* packet) { return static_cast<uint16_t>((packet[1] & 0x1F) << 8 | packet[2]); }

// The continuity counter that follows the stream's last packet on a PID.
int NextCC(const Bytes& stream, uint16_t pid)
{
    int next = 0;
    for (size_t at = 0; at + kPacketSize <= stream.size(); at += kPacketSize)
        if (PidOf(&stream[at]) == pid) next = (stream[at + 3] + 1) & 0x0F;
    return next;
}

bool SlotHolds(const SectionSlot& slot, const Bytes& section)
{
    return slot.data && slot.length == section.size() && std::memcmp(slot.data, section.data(), section.size()) == 0;
}

bool SlotsEqual(const SectionSlot& a, const SectionSlot& b)
{
    if (!a.data || !a.length || !b.data || !b.length) return (!a.data || !a.length) == (!b.data || !b.length);
    return a.length == b.length && std::memcmp(a.data, b.data, a.length) == 0;
}

// Whether the service keeps this section in any of its slots.
bool Stores(const ServiceEntry& service, const Bytes& section)
{
    for (const SectionSlot& slot : service.presentFollowing)
        if (SlotHolds(slot, section)) return true;
    for (int s = 0; s < kScheduleSlots; ++s)
        if (SlotHolds(service.schedule[s], section) || SlotHolds(service.scheduleExtended[s], section)) return true;
    return false;
}

// The stored sections of two services, slot by slot; the first difference, or "".
std::string FirstDifference(const ServiceEntry& actual, const ServiceEntry& expected)
{
    for (int k = 0; k < 2; ++k)
        if (!SlotsEqual(actual.presentFollowing[k], expected.presentFollowing[k]))
            return "present/following " + std::to_string(k);
    for (int s = 0; s < kScheduleSlots; ++s) {
        if (!SlotsEqual(actual.schedule[s], expected.schedule[s])) return "schedule slot " + std::to_string(s);
        if (!SlotsEqual(actual.scheduleExtended[s], expected.scheduleExtended[s]))
            return "extended schedule slot " + std::to_string(s);
    }
    return "";
}

// The main window's clock ticks, wherever the window's thread takes them from its queue
// (the plug-in's modal loops included).
std::atomic<int> g_clockTicks{0};
HWND g_tickedWindow = nullptr;

LRESULT CALLBACK CountClockTick(int code, WPARAM removal, LPARAM lParam)
{
    const auto& msg = *reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && msg.hwnd == g_tickedWindow && msg.message == WM_TIMER &&
        msg.wParam == kClockTimerId)
        ++g_clockTicks;
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// The distinct EIT sections a single-threaded parser of the blocks hands on, in order.
class EitCollector {
public:
    explicit EitCollector(StreamParser& parser)
    {
        parser.sectionTapContext = this;
        parser.sectionTap = &EitCollector::Tap;
    }
    std::vector<Bytes> sections;

private:
    static void Tap(void* context, int pid, const uint8_t* section, int length)
    {
        if (pid != kPidEit) return;
        auto& self = *static_cast<EitCollector*>(context);
        Bytes bytes(section, section + length);
        for (const Bytes& known : self.sections)
            if (known == bytes) return;
        self.sections.push_back(std::move(bytes));
    }
};

class HostConcurrency : public DialogsHost {
protected:
    void TearDown() override
    {
        host.duringGetServiceList = nullptr;
        if (m_tickHook) UnhookWindowsHookEx(m_tickHook);
        DialogsHost::TearDown();
    }

    void CountClockTicks()
    {
        g_clockTicks = 0;
        g_tickedWindow = MainWindow();
        m_tickHook = SetWindowsHookExA(WH_GETMESSAGE, CountClockTick, nullptr, GetCurrentThreadId());
    }
    int ClockTicks() const { return g_clockTicks.load(); }

    HHOOK m_tickHook = nullptr;

    // The stream's blocks, then every EIT section of it once more: the stream changes drop
    // partial sections at their boundaries, and they stop before this replay.
    void PlanFeed()
    {
        const SampleStreamOptions options = StreamOptions();
        const Bytes stream = MakeSampleStream(options);
        blocks = CutBlocks(stream, {188 * 64, 188 * 7, 188 * 200, 188});
        replayStart = blocks.size();
        EitCollector collector(reference);
        for (const Bytes& block : blocks) TakePackets(reference, block.data(), block.size());
        eitSections = collector.sections;
        Packetizer replay(kPidEit, NextCC(stream, kPidEit));
        for (Bytes& block : CutBlocks(replay.Packetize(eitSections), {188 * 64})) {
            TakePackets(reference, block.data(), block.size());
            blocks.push_back(std::move(block));
        }
        reference.sectionTap = nullptr;
        padding = (kMultiplexBytesPerSecond * kBroadcastSeconds - stream.size()) / blocks.size() / 188 * 188;
    }

    // Every stream change goes through here: the host does not overlap its stream-change
    // calls, whichever thread it makes them on. False once the changes have stopped.
    bool ChangeStream(int n)
    {
        std::lock_guard<std::mutex> guard(changeCalls);
        if (changesStopped) return false;
        const int serviceId = n % 5 == 4 ? kWithoutService : kServiceIds[n % 6];
        const int channel = serviceId < 0x0408 ? 13 : 27;
        if (channel == 13)
            host.SetServices({0x0400, 0x0401});
        else
            host.SetServices({0x0408, 0x0410, 0x0418, 0x0420});
        plugin.StreamChange(channel, serviceId);
        ++changes;
        return true;
    }

    void StopChanges()
    {
        std::lock_guard<std::mutex> guard(changeCalls);
        changesStopped = true;
    }

    // One thing the user (or the host, on the window's thread) does.
    void UserStep()
    {
        const int items = ItemCount(List());
        const int item = items > 0 ? static_cast<int>(dice() % static_cast<unsigned>(items)) : -1;
        switch (dice() % 16) {
        case 0: case 1: case 2: case 3: case 4:
            if (item < 0) break;
            step = "click";
            ClickCell(MainWindow(), List(), item, static_cast<int>(dice() % 3));
            ++clicks;
            break;
        case 5: case 6:
            if (item < 0) break;
            step = "double click";
            if (dice() % 2) {
                DoubleClickItem(List(), item);  // the control's own mouse handling
            } else {
                NotifyFromList(NM_DBLCLK, item);
            }
            ++doubleClicks;
            break;
        case 7:
            if (item < 0 || dice() % 4) break;
            step = "menu";
            NotifyFromList(NM_RCLICK, item);  // the programme menu, modal until cancelled
            ++menus;
            break;
        case 8: step = "popup"; PressPopupButtons(); break;
        case 9: step = "update dialog"; UpdateInformation(); break;
        case 10:
            if (dice() % 8) break;
            step = "settings";
            PostMessageA(MainWindow(), WM_SYSCOMMAND, kCmdSettingsId, 0);  // modal until cancelled
            ++settings;
            break;
        case 11: case 12: step = "stream change"; ChangeStream(static_cast<int>(dice() % 1000)); break;
        case 13: step = "rebuild"; ClearUpdateList(); break;
        default: break;  // the user does nothing
        }
    }

    // The list control's notification, as it sends it for a click on an item.
    void NotifyFromList(UINT code, int item)
    {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = List();
        activate.hdr.idFrom = kMainListId;
        activate.hdr.code = code;
        activate.iItem = item;
        activate.iSubItem = static_cast<int>(dice() % 3);
        SendMessageA(MainWindow(), WM_NOTIFY, kMainListId, reinterpret_cast<LPARAM>(&activate));
    }

    void PressPopupButtons()
    {
        const HWND popup = FindOwnedWindow(MainWindow(), kPopupTextId);
        if (!popup || !IsWindowVisible(popup)) return;
        ++popupsSeen;
        PressButton(popup, dice() % 2 ? 1 : 2);  // "選局" or "×"
    }

    void UpdateInformation()
    {
        if (dice() % 2) {
            SendMessageA(MainWindow(), WM_SYSCOMMAND, kCmdShowUpdatesId, 0);
            return;
        }
        const HWND dialog = FindOwnedWindow(MainWindow(), kUpdateListId);
        if (!dialog || !IsWindowVisible(dialog)) return;
        PressButton(dialog, kUpdateRefreshId);
        ++updatesSeen;
    }

    // "クリア" in the update list: the rows are rebuilt at the next tick.
    void ClearUpdateList()
    {
        SendMessageA(MainWindow(), WM_SYSCOMMAND, kCmdShowUpdatesId, 0);
        const HWND dialog = FindOwnedWindow(MainWindow(), kUpdateListId);
        if (dialog) PressButton(dialog, kUpdateClearId);
    }

    // The store as the window leaves it in its cache.
    void ExpectReferenceStore()
    {
        ProgrammeStore stored;
        CloseAndLoadStore(stored);
        ASSERT_LE(stored.serviceCount, kMaxServices);
        for (int i = 1; i < stored.serviceCount; ++i)
            EXPECT_LT(stored.services[i - 1]->serviceId, stored.services[i]->serviceId);
        size_t missing = 0;
        for (const Bytes& section : eitSections) {
            const ServiceEntry* service = FindStored(stored, static_cast<uint16_t>(section[3] << 8 | section[4]));
            if (!service || !Stores(*service, section)) ++missing;
        }
        EXPECT_EQ(missing, 0u) << "of " << eitSections.size() << " EIT sections of the stream";
        for (int i = 0; i < reference.store.serviceCount; ++i) {
            const ServiceEntry& expected = *reference.store.services[i];
            const ServiceEntry* actual = FindStored(stored, expected.serviceId);
            ASSERT_NE(actual, nullptr) << "service " << expected.serviceId;
            EXPECT_EQ(FirstDifference(*actual, expected), "") << "service " << expected.serviceId;
        }
    }

    StreamParser reference;
    std::vector<Bytes> blocks;
    size_t replayStart = 0;
    std::vector<Bytes> eitSections;
    size_t padding = 0;

    std::mutex changeCalls;
    bool changesStopped = false;  // guarded by changeCalls
    std::atomic<int> changes{0};
    std::mt19937 dice{20261208};
    std::atomic<const char*> step{"start"};  // the user's last step, for a deadlock report
    int clicks = 0, doubleClicks = 0, menus = 0, settings = 0, popupsSeen = 0, updatesSeen = 0;
};

TEST_F(HostConcurrency, FullRateFeedUnderUserAndStreamChangesKeepsEverySection)
{
    Start();
    PlanFeed();
    ASSERT_GT(eitSections.size(), 700u);
    host.duringGetServiceList = [] { Sleep(2); };  // the host takes its time to answer

    // The changes stop before the replay; the last one in progress finishes first.
    FeedPlan plan{blocks, padding, kFeedMs, [&](size_t i) {
        if (i == replayStart) StopChanges();
    }};
    StreamFeeder feeder(plugin, std::move(plan));
    std::thread changer([&] {
        std::mt19937 delays(7);
        for (int n = 0; ChangeStream(n); ++n) Sleep(60 + delays() % 240);
    });
    Watchdog watchdog(MainWindow(), kAnswerTimeoutMs, [&] {
        return std::string("last step: ") + step.load() + ", fed " + std::to_string(feeder.BytesFed()) + " bytes";
    });
    ModalCloser closer(MainWindow(), kModalHoldMs);

    CountClockTicks();
    const DWORD start = GetTickCount();
    feeder.Start();
    while (!feeder.Done() && GetTickCount() - start < kFeedDeadlineMs) {
        PumpFor(kUserStepMs);
        UserStep();
    }
    if (!feeder.Done()) {
        // A deadlocked plug-in cannot be torn down; end the process with the failure.
        ADD_FAILURE() << "the feed did not finish: deadlock";
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    const DWORD fedMs = GetTickCount() - start;
    feeder.Join();
    StopChanges();
    changer.join();
    PumpFor(300);  // the posted stream-change work; a queued settings command opens its dialog here
    closer.Stop();
    watchdog.Stop();
    std::printf("fed %zu bytes in %lu ms (%.0f MB/s), %zu blocks, %d stream changes, %d ticks\n", feeder.BytesFed(),
                static_cast<unsigned long>(fedMs), feeder.BytesFed() / 1e3 / fedMs, blocks.size(), changes.load(),
                ClockTicks());
    std::printf("user: %d clicks, %d double clicks, %d menus (%d closed), %d settings dialogs (%d closed), "
                "popup seen %d times, update dialog %d; longest wait for the window %lu ms\n",
                clicks, doubleClicks, menus, closer.MenusClosed(), settings, closer.DialogsClosed(), popupsSeen,
                updatesSeen, static_cast<unsigned long>(watchdog.LongestWaitMs()));

    EXPECT_GE(feeder.BytesFed(), kMultiplexBytesPerSecond * kBroadcastSeconds * 99 / 100);
    EXPECT_GT(changes.load(), 50);
    EXPECT_GE(ClockTicks(), static_cast<int>(kFeedMs / 1000) - 2);
    EXPECT_GT(clicks, 0) << "the list had rows to click";
    EXPECT_GT(watchdog.Answers(), 0);
    ExpectReferenceStore();
}

}  // namespace
