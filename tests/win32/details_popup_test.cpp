// The details popup through the test host: a click on a "now" cell fills and shows it
// beside the pointer, a second click hides it, a drag pins it and "×" unpins it, and the
// tune button hides while a tuning request is pending.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "dialogs_probe.h"

namespace {

constexpr uint16_t kService = 0x0400;
constexpr uint8_t kHdWide = 0xB3;  // 1080i, 16:9

class DetailsPopup : public DialogsHost {
protected:
    void SetUp() override
    {
        DialogsHost::SetUp();
        Start();
        FeedClock();
        FeedServices({{kService, u8"テスト総合"}});
        // The programme on air began ten minutes ago, on a whole minute.
        const time_t now = std::time(nullptr);
        presentStart = now - now % 60 - 600;
        presentEnd = presentStart + 3600;
        FeedProgrammes();
        ASSERT_TRUE(WaitForItemCount(1));
        ASSERT_TRUE(PumpUntil([&] { return !ListItemText(List(), 0, 1).empty(); }, 3000));
        popup = FindOwnedWindow(MainWindow(), kPopupTextId);
        ASSERT_NE(popup, nullptr);
        ASSERT_FALSE(IsWindowVisible(popup));
    }

    // The programme on air with its short text, video component and extended description
    // (one item split over two descriptors), and the one after it.
    void FeedProgrammes()
    {
        AribTextEncoder text;
        text.Text(u8"一行目").LineBreak().Text(u8"二行目").LineBreak();
        Bytes present = ShortEventDescriptor(EncodeArib(u8"朝の特集"), text.Bytes());
        AppendBytes(present, ComponentDescriptor(kHdWide));
        const Bytes next = ShortEventDescriptor(EncodeArib(u8"天気"), EncodeArib(u8"全国の天気"));
        FeedSchedule(0x50, kService, {Event(1, presentStart, 3600, present), Event(2, presentEnd, 1800, next)});
        Bytes extended = ExtendedEventDescriptor(0, 1, {{EncodeArib(u8"出演"), EncodeArib(u8"山田")}});
        AppendBytes(extended, ExtendedEventDescriptor(1, 1, {{{}, EncodeArib(u8"花子")}}));
        FeedSchedule(0x58, kService, {Event(1, presentStart, 3600, extended)});
    }

    std::string ExpectedNameLine()
    {
        static const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
        const std::tm start = *std::localtime(&presentStart);
        char line[128];
        std::snprintf(line, sizeof line, "[%s] - %04d/%02d/%02d(%s)", ListItemText(List(), 0, 0).c_str(),
                      start.tm_year + 1900, start.tm_mon + 1, start.tm_mday, kWeekdays[start.tm_wday]);
        return line;
    }

    std::string ExpectedTimesLine()
    {
        const std::tm start = *std::localtime(&presentStart);
        const std::tm end = *std::localtime(&presentEnd);
        char line[64];
        std::snprintf(line, sizeof line, " %02d:%02d～%02d:%02d 1080i(16:9)", start.tm_hour, start.tm_min, end.tm_hour,
                      end.tm_min);
        return line;
    }

    RECT PopupRect()
    {
        RECT rect = {};
        GetWindowRect(popup, &rect);
        return rect;
    }

    // Press on the first header line, move the pointer by (dx, dy), release.
    void DragBy(int dx, int dy)
    {
        const RECT before = PopupRect();
        const HWND header = GetDlgItem(popup, kPopupNameId);
        SetCursorPos(before.left + 20, before.top + 8);
        SendMessageA(popup, WM_COMMAND, MAKEWPARAM(kPopupNameId, STN_CLICKED), reinterpret_cast<LPARAM>(header));
        EXPECT_EQ(GetCapture(), popup);
        POINT to = {before.left + 20 + dx, before.top + 8 + dy};
        ScreenToClient(popup, &to);
        SendMessageA(popup, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        to = {before.left + 20 + dx, before.top + 8 + dy};
        ScreenToClient(popup, &to);
        SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        EXPECT_NE(GetCapture(), popup);
    }

    time_t presentStart = 0;
    time_t presentEnd = 0;
    HWND popup = nullptr;
};

TEST_F(DetailsPopup, ClickOnNowCellShowsProgrammeBesideThePointer)
{
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    ASSERT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(ControlText(popup, kPopupNameId), ExpectedNameLine());
    EXPECT_EQ(ControlText(popup, kPopupTimesId), ExpectedTimesLine());
    // The short text's final line break adds no empty line; the extended item split over two
    // descriptors is one item under its heading.
    EXPECT_EQ(ControlText(popup, kPopupTextId), "【朝の特集】\r\n\r\n一行目\r\n二行目\r\n\r\n出演\r\n山田花子");
    EXPECT_EQ(ControlText(popup, 1), "選局");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(popup, 1)));
    EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE) & WS_CAPTION, 0);
    const RECT placed = PopupRect();
    EXPECT_EQ(placed.left, 205);
    EXPECT_EQ(placed.top, 155);

    // A second click on the same cell hides it; a click on the "next" cell fills it again.
    ClickCell(MainWindow(), List(), 0, 1);
    EXPECT_FALSE(IsWindowVisible(popup));
    ClickCell(MainWindow(), List(), 0, 2);
    ASSERT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(ControlText(popup, kPopupTextId), "【天気】\r\n\r\n全国の天気");
    // Following its service across a stream change, it refills from the "now" column.
    host.SetServices({kService});
    plugin.StreamChange(13, kService);
    EXPECT_EQ(ControlText(popup, kPopupTextId).rfind("【朝の特集】", 0), 0u);

    // A click on column 0 hides it and gives the focus back to the list window.
    SetFocus(windows.Parent());
    ClickCell(MainWindow(), List(), 0, 0);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_TRUE(GetFocus() == MainWindow() || IsChild(MainWindow(), GetFocus()));
}

TEST_F(DetailsPopup, PointerFarAwayHidesAFreePopup)
{
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    ASSERT_TRUE(IsWindowVisible(popup));
    PumpFor(300);
    EXPECT_TRUE(IsWindowVisible(popup)) << "the pointer beside it keeps it";
    const RECT rect = PopupRect();
    SetCursorPos(rect.right + 151, rect.top);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(popup); }, 1000));
}

TEST_F(DetailsPopup, DraggingPinsAndCloseButtonUnpins)
{
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    ASSERT_TRUE(IsWindowVisible(popup));
    const RECT before = PopupRect();

    DragBy(40, 30);
    const RECT after = PopupRect();
    EXPECT_EQ(after.left, before.left + 40);
    EXPECT_EQ(after.top, before.top + 30);

    // Pinned: a second click on the cell refills it in place, and the pointer far away or
    // five idle seconds do not hide it.
    SetCursorPos(600, 500);
    ClickCell(MainWindow(), List(), 0, 1);
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(PopupRect().left, after.left);
    SetCursorPos(after.right + 400, after.bottom + 400);
    PumpFor(600);
    EXPECT_TRUE(IsWindowVisible(popup));

    PressButton(popup, 2);  // "×"
    EXPECT_FALSE(IsWindowVisible(popup));
    // Unpinned again: a click shows it beside the pointer.
    SetCursorPos(100, 100);
    ClickCell(MainWindow(), List(), 0, 1);
    EXPECT_EQ(PopupRect().left, 105);

    // The pinned state is saved with the geometry when the popup is destroyed.
    const RECT last = PopupRect();
    DestroyWindow(MainWindow());
    const std::string ini = DataFilePath(".ini");
    EXPECT_EQ(GetPrivateProfileIntA("PopDialog", "Fixed", -1, ini.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntA("PopDialog", "WindowX", -1, ini.c_str()), last.left);
    EXPECT_EQ(GetPrivateProfileIntA("PopDialog", "WindowCX", -1, ini.c_str()), last.right - last.left);
}

TEST_F(DetailsPopup, PinnedPopupIsShownPinnedAfterARestart)
{
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    DragBy(40, 30);
    const RECT pinned = PopupRect();
    DestroyWindow(MainWindow());
    ASSERT_EQ(GetPrivateProfileIntA("PopDialog", "Fixed", -1, DataFilePath(".ini").c_str()), 1);

    Restart();
    const HWND window = FindPluginWindow();
    popup = FindOwnedWindow(window, kPopupTextId);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(IsWindowVisible(popup)) << "shown at once";
    EXPECT_EQ(PopupRect().left, pinned.left);
    EXPECT_EQ(PopupRect().top, pinned.top);

    // Pinned: a click refills it in place, and the pointer far away does not hide it.
    FeedClock();
    const HWND list = GetDlgItem(window, kMainListId);
    ASSERT_TRUE(PumpUntil([&] { return ItemCount(list) == 1; }, 3000)) << "the cache fills the list";
    SetCursorPos(600, 500);
    ClickCell(window, list, 0, 1);
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(ControlText(popup, kPopupTextId).rfind("【朝の特集】", 0), 0u);
    EXPECT_EQ(PopupRect().left, pinned.left);
    SetCursorPos(pinned.right + 400, pinned.bottom + 400);
    PumpFor(600);
    EXPECT_TRUE(IsWindowVisible(popup));
}

TEST_F(DetailsPopup, TuneButtonHiddenWhileARequestIsPending)
{
    const HWND tune = GetDlgItem(popup, 1);
    windows.SetRecordingText("録画中");
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    PumpFor(300);
    EXPECT_FALSE(IsWindowVisible(tune)) << "hidden while the host records";
    ClickCell(MainWindow(), List(), 0, 1);
    windows.SetRecordingText("");
    // The service on channel 13 beside the one received: a double click on its row asks
    // for it on the tuning timer's ticks until the request lapses.
    host.SetServices({kService, kService + 1});
    plugin.StreamChange(13, kService + 1);
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PressButton(FindOwnedWindow(MainWindow(), kUpdateListId), kUpdateClearId);  // rows rebuilt next tick
    PumpFor(1300);  // with the channel
    DoubleClickItem(List(), 0);
    PumpFor(50);
    SetCursorPos(200, 150);
    ClickCell(MainWindow(), List(), 0, 1);
    ASSERT_TRUE(IsWindowVisible(popup));
    EXPECT_FALSE(IsWindowVisible(tune));
    EXPECT_EQ(ControlText(popup, 1), "");
    // Resizing lays the buttons out again without bringing it back.
    SetWindowPos(popup, nullptr, 0, 0, 400, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(tune));

    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tune) != 0; }, 4000)) << "back when the request lapses";
    EXPECT_EQ(ControlText(popup, 1), "選局");
    ASSERT_FALSE(host.Calls().empty());
    EXPECT_EQ(host.Calls().back().slot, 3) << "the request asked for the service";
    EXPECT_EQ(host.Calls().back().argument, kService);

    // "選局" asks the main window to tune to the row of the popup's service.
    const int row = static_cast<int>(ListItemParam(List(), 0));
    bool tuneCommand = false;
    PressButton(popup, 1);
    PumpFor(100, [&](const MSG& msg) {
        if (msg.hwnd == MainWindow() && msg.message == WM_COMMAND && msg.wParam == static_cast<WPARAM>(2100 + row))
            tuneCommand = true;
    });
    EXPECT_TRUE(tuneCommand);
}

}  // namespace
