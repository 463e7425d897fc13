// The main window's commands through the test host: a double click tunes (SelectChannel,
// then ChangeServiceID after the host's stream change), recording blocks every tune path,
// and closing goes to the host's tray window.
#include <gtest/gtest.h>

#include <algorithm>

#include "list_window_probe.h"

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
    EXPECT_EQ(View().pendingServiceId, 0x0400);

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
    ASSERT_TRUE(PumpUntil([&] { return View().tuneTimer == 0; }, 5000));
    EXPECT_EQ(TuneCalls().size(), 2u);
    EXPECT_EQ(View().pendingServiceId, 0);
}

TEST_F(ListCommands, DoubleClickOnTheServiceReceivedDoesNothing)
{
    StartWithChannels();
    DoubleClickItem(List(), FindItem(List(), "みなとテレビ"));
    PumpFor(300);
    EXPECT_TRUE(TuneCalls().empty());
    EXPECT_EQ(View().tuneTimer, 0u);
}

TEST_F(ListCommands, RecordingBlocksEveryTunePath)
{
    StartWithChannels();
    windows.SetRecordingText("録画中");
    const int item = FindItem(List(), "ルマーラ総合");
    DoubleClickItem(List(), item);
    // The tune command itself, as the details popup's button or the menu title would send it.
    for (WPARAM r = 0; r < 6; ++r) PostMessageA(View().hWnd, WM_COMMAND, kTuneCommandBase + r, 0);
    PumpFor(2500);
    EXPECT_TRUE(TuneCalls().empty());
    EXPECT_EQ(View().tuneTimer, 0u);

    windows.SetRecordingText("");
    DoubleClickItem(List(), item);
    EXPECT_TRUE(PumpUntil([&] { return !TuneCalls().empty(); }, 2000)) << "tunes again once recording ends";
}

TEST_F(ListCommands, CloseGoesToTheTrayWindowWhichKeepsTheCloseCommand)
{
    const HWND tray = windows.CreateTray();
    ASSERT_NE(tray, nullptr);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return View().secondTicks >= 5; }, 8000));
    EXPECT_NE(GetMenuState(GetSystemMenu(View().hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    SendMessageA(View().hWnd, WM_CLOSE, 0, 0);
    PumpFor(100);
    EXPECT_EQ(windows.TrayCommands(), std::vector<WORD>{1011});
    EXPECT_TRUE(IsWindow(View().hWnd)) << "closing does not destroy the window";
}

TEST_F(ListCommands, WithoutTrayWindowTheCloseCommandGoesAfterFourSeconds)
{
    Start();
    const HMENU menu = GetSystemMenu(View().hWnd, FALSE);
    EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    // The plug-in's entries sit just above the close command.
    int close = 0;
    while (close < GetMenuItemCount(menu) && GetMenuItemID(menu, close) != SC_CLOSE) ++close;
    ASSERT_GE(close, 5);
    const UINT ids[] = {1013, 0, 1017, 1012, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GetMenuItemID(menu, close - 5 + i), ids[i]) << i;
    ASSERT_TRUE(PumpUntil([&] { return View().secondTicks >= 4; }, 8000));
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    SendMessageA(View().hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(View().hWnd));
}

TEST_F(ListCommands, ClearAnsweredNoKeepsTheProgrammes)
{
    StartWithChannels();
    MessageBoxWatch watch;  // ends the box with IDOK, which is not Yes
    SendMessageA(View().hWnd, WM_SYSCOMMAND, 1013, 0);
    ASSERT_EQ(watch.seen.size(), 1u);
    EXPECT_EQ(watch.seen[0].text, "全ての番組情報データを削除します。\r\nよろしいですか？");
    EXPECT_EQ(watch.seen[0].caption, "ルマーラ");
    EXPECT_EQ(watch.seen[0].owner, View().hWnd);
    EXPECT_EQ(View().parser->store.serviceCount, 6);
}

}  // namespace
