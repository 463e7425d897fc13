// The main window's commands through the test host: a double click tunes (SelectChannel,
// then ChangeServiceID after the host's stream change), recording blocks every tune path,
// closing goes to the host's tray window, clearing asks first, and a right click opens the
// menu of the service's coming programmes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "dialogs_probe.h"
#include "list_window_probe.h"
#include "store/event_cache.h"

namespace {

constexpr int kSlotSelectChannel = 1;
constexpr int kSlotChangeServiceId = 3;
constexpr WPARAM kTuneCommandBase = 2100;

class ListCommands : public ListWindowHost {
protected:
    void StartWithChannels()
    {
        Start();
        FeedSampleStream();
        ReportChannels();  // 0x0400 and 0x0401 on channel 13, the others on 27; receiving 0x0408
        ASSERT_TRUE(WaitForItems(6));
    }

    bool TuneTimerStopped() { return !KillTimer(MainWindow(), kTuneTimerId); }

    std::vector<HostCall> TuneCalls() const
    {
        std::vector<HostCall> calls = host.Calls();
        calls.erase(std::remove_if(calls.begin(), calls.end(),
                                   [](const HostCall& c) {
                                       return c.slot != kSlotSelectChannel && c.slot != kSlotChangeServiceId;
                                   }),
                    calls.end());
        return calls;
    }
};

TEST_F(ListCommands, DoubleClickOnAnotherChannelSelectsItThenTheService)
{
    StartWithChannels();
    const int item = FindItem(List(), "ルマーラ総合");
    ASSERT_GE(item, 0);
    DoubleClickItem(List(), item);
    ASSERT_TRUE(PumpUntil([&] { return !TuneCalls().empty(); }, 2000));
    std::vector<HostCall> calls = TuneCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, kSlotSelectChannel);
    EXPECT_EQ(calls[0].argument, 13);

    // The host lands on the channel's other service; the request follows 2 seconds later.
    PumpFor(500);
    host.SetServices({0x0400, 0x0401});
    plugin.StreamChange(13, 0x0401);
    const DWORD changedAt = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return TuneCalls().size() == 2; }, 5000));
    EXPECT_GE(GetTickCount() - changedAt, 1800u);
    calls = TuneCalls();
    EXPECT_EQ(calls[1].slot, kSlotChangeServiceId);
    EXPECT_EQ(calls[1].argument, 0x0400);
    // Answered on the first tick; the request lapses after the second.
    plugin.StreamChange(13, 0x0400);
    PumpFor(4300);
    EXPECT_EQ(TuneCalls().size(), 2u);
    EXPECT_TRUE(TuneTimerStopped());
    // Nothing is pending any more: a further change starts no timer.
    plugin.StreamChange(13, 0x0401);
    EXPECT_TRUE(TuneTimerStopped());
}

TEST_F(ListCommands, DoubleClickOnTheServiceReceivedDoesNothing)
{
    StartWithChannels();
    DoubleClickItem(List(), FindItem(List(), "みなとテレビ"));
    PumpFor(300);
    EXPECT_TRUE(TuneCalls().empty());
    EXPECT_TRUE(TuneTimerStopped());
}

// The host answers the second service request from inside ChangeServiceID: its stream change
// restarts the tuning timer, so the request waits for the restarted timer's second tick.
TEST_F(ListCommands, HostAnsweringInsideChangeServiceIdKeepsTheRequestPending)
{
    StartWithChannels();
    int asked = 0;
    host.duringChangeServiceId = [&](int32_t serviceId) {
        if (++asked == 2) plugin.StreamChange(27, serviceId);
    };
    DoubleClickItem(List(), FindItem(List(), "さくら放送"));  // the same channel
    ASSERT_TRUE(PumpUntil([&] { return asked == 2; }, 4000));
    PumpFor(1000);
    const int otherChannel = FindItem(List(), "ルマーラ総合");
    DoubleClickItem(List(), otherChannel);
    PumpFor(100);
    EXPECT_EQ(TuneCalls().size(), 2u) << "ignored while the request waits";
    PumpFor(3300);
    DoubleClickItem(List(), otherChannel);
    EXPECT_TRUE(PumpUntil([&] { return TuneCalls().size() == 3; }, 1000)) << "ended at the second tick";
}

TEST_F(ListCommands, RecordingBlocksEveryTunePath)
{
    StartWithChannels();
    const int item = FindItem(List(), "ルマーラ総合");
    // The host's indicator, then the remote-control application's window with control 1018 disabled.
    for (const bool remote : {false, true}) {
        HWND remoteWindow = nullptr;
        if (remote) {
            remoteWindow = CreateWindowA("STATIC", "遠隔操作盤", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
            const HWND control = CreateWindowA("BUTTON", "", WS_CHILD, 0, 0, 10, 10, remoteWindow,
                                               reinterpret_cast<HMENU>(1018), nullptr, nullptr);
            EnableWindow(control, FALSE);
        } else {
            windows.SetRecordingText("録画中");
        }
        DoubleClickItem(List(), item);
        // The tune command itself, as the details popup's button or the menu title would send it.
        for (WPARAM r = 0; r < 6; ++r) PostMessageA(MainWindow(), WM_COMMAND, kTuneCommandBase + r, 0);
        PumpFor(2500);
        EXPECT_TRUE(TuneCalls().empty()) << remote;
        EXPECT_TRUE(TuneTimerStopped()) << remote;
        if (remoteWindow) DestroyWindow(remoteWindow);
        windows.SetRecordingText("");
    }

    DoubleClickItem(List(), item);
    EXPECT_TRUE(PumpUntil([&] { return !TuneCalls().empty(); }, 2000)) << "tunes again once recording ends";
}

TEST_F(ListCommands, CloseGoesToTheTrayWindowWhichKeepsTheCloseCommand)
{
    const HWND tray = windows.CreateTray();
    ASSERT_NE(tray, nullptr);
    Start();
    ASSERT_TRUE(PumpClockTicks(5, 8000));
    EXPECT_NE(GetMenuState(GetSystemMenu(MainWindow(), FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    const HWND window = MainWindow();
    SendMessageA(window, WM_CLOSE, 0, 0);
    PumpFor(100);
    EXPECT_EQ(windows.TrayCommands(), std::vector<WORD>{1011});
    EXPECT_TRUE(IsWindow(window)) << "closing does not destroy the window";
}

TEST_F(ListCommands, WithoutTrayWindowTheCloseCommandGoesAfterFourSeconds)
{
    Start();
    const HWND window = MainWindow();
    const HMENU menu = GetSystemMenu(window, FALSE);
    EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    // The plug-in's entries sit just above the close command.
    int close = 0;
    while (close < GetMenuItemCount(menu) && GetMenuItemID(menu, close) != SC_CLOSE) ++close;
    ASSERT_GE(close, 5);
    const UINT ids[] = {1013, 0, 1017, 1012, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GetMenuItemID(menu, close - 5 + i), ids[i]) << i;
    ASSERT_TRUE(PumpClockTicks(4, 8000));
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(ListCommands, ClearAnsweredNoKeepsTheProgrammesAndYesEmptiesThem)
{
    StartWithChannels();
    const HWND window = FindPluginWindow();
    const HWND list = GetDlgItem(window, 1011);
    {
        MessageBoxWatch watch(IDNO);
        SendMessageA(window, WM_SYSCOMMAND, 1013, 0);
        ASSERT_EQ(watch.seen.size(), 1u);
        EXPECT_EQ(watch.seen[0].text, "全ての番組情報データを削除します。\r\nよろしいですか？");
        EXPECT_EQ(watch.seen[0].caption, "ルマーラ");
        EXPECT_EQ(watch.seen[0].owner, window);
        EXPECT_EQ(watch.seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_TRUE(watch.seen[0].questionIcon);
        // Clearing the (empty) update list rebuilds the rows at the next tick.
        SendMessageA(window, WM_COMMAND, kCmdShowUpdatesId, 0);
        PressButton(FindOwnedWindow(window, kUpdateListId), kUpdateClearId);
        ASSERT_TRUE(PumpClockTicks(2, 4000));
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 6) << "the programmes kept";
    }

    MessageBoxWatch watch(IDYES);
    SendMessageA(window, WM_SYSCOMMAND, 1013, 0);
    ASSERT_EQ(watch.seen.size(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0; }, 11000))
        << "the list empties at the next rebuild";
    // The store itself is empty: the cache written when the window goes holds no service.
    DestroyWindow(window);
    StreamParser stored;
    ASSERT_TRUE(LoadEventCache(stored.store, DataFilePath(".dat").c_str()));
    EXPECT_EQ(stored.store.serviceCount, 0);
}

// The programme menu as its owner is asked to fill it: read, then cancelled.
struct OpenedMenuEntry {
    UINT id = 0;
    std::string text;
    bool checked = false;
    HBITMAP checkedMark = nullptr;
    HBITMAP uncheckedMark = nullptr;
};

HWND g_menuOwner = nullptr;
std::vector<OpenedMenuEntry> g_openedMenu;

LRESULT CALLBACK ReadOpenedMenu(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message.hwnd == g_menuOwner && message.message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(message.wParam);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[256] = {};
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_STATE | MIIM_CHECKMARKS | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = sizeof text;
            GetMenuItemInfoA(menu, i, TRUE, &info);
            const bool checked = (info.fState & MFS_CHECKED) != 0;
            g_openedMenu.push_back({info.wID, text, checked, info.hbmpChecked, info.hbmpUnchecked});
        }
        PostMessageA(g_menuOwner, WM_CANCELMODE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A right click on a list item, as the list control reports it; the menu is read and closed.
std::vector<OpenedMenuEntry> OpenProgrammeMenu(HWND window, HWND list, int item)
{
    g_menuOwner = window;
    g_openedMenu.clear();
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, ReadOpenedMenu, nullptr, GetCurrentThreadId());
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = kMainListId;
    click.hdr.code = NM_RCLICK;
    click.iItem = item;
    click.iSubItem = 1;
    SendMessageA(window, WM_NOTIFY, kMainListId, reinterpret_cast<LPARAM>(&click));
    UnhookWindowsHookEx(hook);
    return g_openedMenu;
}

struct MarkBitmap {
    int width = 0;
    int height = 0;
    int blackPixels = 0;
    int firstBlackRow = -1;
    int lastBlackRow = -1;
};

MarkBitmap ReadMark(HBITMAP bitmap)
{
    MarkBitmap mark;
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info)) return mark;
    mark.width = info.bmWidth;
    mark.height = info.bmHeight;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < mark.height; ++y)
        for (int x = 0; x < mark.width; ++x)
            if (GetPixel(dc, x, y) == RGB(0, 0, 0)) {
                ++mark.blackPixels;
                if (mark.firstBlackRow < 0) mark.firstBlackRow = y;
                mark.lastBlackRow = y;
            }
    SelectObject(dc, old);
    DeleteDC(dc);
    return mark;
}

std::string MenuTimes(time_t start, time_t end)
{
    const std::tm from = *std::localtime(&start);
    const std::tm to = *std::localtime(&end);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d～%02d:%02d：", from.tm_hour, from.tm_min, to.tm_hour, to.tm_min);
    return text;
}

using ProgrammeMenu = DialogsHost;

TEST_F(ProgrammeMenu, TitleTunesAndStandardDefinitionEntriesAreTickedWithTheSdMark)
{
    constexpr uint16_t kService = 0x0400;
    Start();
    FeedClock();
    FeedServices({{kService, u8"テスト総合"}});
    const time_t now = std::time(nullptr);
    const time_t start = now - now % 60 - 600;
    Bytes highDefinition = ShortEventDescriptor(EncodeArib(u8"朝の特集"), {});
    AppendBytes(highDefinition, ComponentDescriptor(0xB3));  // 1080i, 16:9
    Bytes standardDefinition = ShortEventDescriptor(EncodeArib(u8"天気"), {});
    AppendBytes(standardDefinition, ComponentDescriptor(0x01));  // 480i, 4:3
    FeedSchedule(0x50, kService,
                 {Event(1, start, 3600, highDefinition), Event(2, start + 3600, 1800, standardDefinition)});
    const HWND window = FindPluginWindow();
    const HWND list = GetDlgItem(window, kMainListId);
    ASSERT_TRUE(PumpUntil([&] { return ItemCount(list) == 1; }, 3000));

    const std::vector<OpenedMenuEntry> menu = OpenProgrammeMenu(window, list, 0);
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].text, "［" + ListItemText(list, 0, 0) + "］- 選局");
    EXPECT_EQ(menu[0].id, static_cast<UINT>(2100 + ListItemParam(list, 0))) << "the title tunes to the row";
    EXPECT_EQ(menu[1].text, MenuTimes(start, start + 3600) + "朝の特集");
    EXPECT_FALSE(menu[1].checked) << "high definition";
    EXPECT_EQ(menu[2].text, MenuTimes(start + 3600, start + 5400) + "天気");
    EXPECT_TRUE(menu[2].checked) << "standard definition";
    for (int entry : {1, 2}) {
        const MarkBitmap sd = ReadMark(menu[entry].checkedMark);
        EXPECT_EQ(sd.width, 13);
        EXPECT_EQ(sd.height, 13);
        EXPECT_GT(sd.blackPixels, 10) << "the ticked mark shows the letters";
        EXPECT_EQ(sd.firstBlackRow, 3);
        EXPECT_EQ(sd.lastBlackRow, 9);
        const MarkBitmap hd = ReadMark(menu[entry].uncheckedMark);
        EXPECT_EQ(hd.width, 13);
        EXPECT_EQ(hd.blackPixels, 0) << "the unticked mark is blank";
    }
}

}  // namespace
