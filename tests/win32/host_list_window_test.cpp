// The main list window through the test host: rows built from the sample stream, their
// colours in a captured picture, and what the window keeps from one start to the next.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "list_window_probe.h"
#include "window_capture.h"

namespace {

constexpr COLORREF kCrimson = 0x3C14DC;
constexpr COLORREF kGrey = 0x696969;
constexpr COLORREF kEvenNameFill = 0xFAE6E6;

// The sample stream's clock ends at 00:00:55 on 8 December: the programmes of 00:00 are on air.
TEST_F(ListWindowHost, SampleStreamFillsTheListAtTheFirstTick)
{
    Start();
    ASSERT_NE(List(), nullptr);
    EXPECT_EQ(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0), 0) << "empty until the first tick";
    FeedSampleStream();
    ASSERT_TRUE(WaitForItems(6));
    const std::vector<ItemTexts> items = ListItems(List());
    EXPECT_EQ(items[0][0], "ルマーラ総合");
    EXPECT_EQ(items[0][1], "00:00 映画「星の海」");
    EXPECT_EQ(items[0][2], "01:00 音楽の夜[字]");
    // The sub-channel's own programme shows; its next one is its main channel's, hidden.
    EXPECT_EQ(items[1][0], "ルマーラ総合２");
    EXPECT_EQ(items[1][1], "00:00 ニュース７");
    EXPECT_EQ(items[1][2], "");
    EXPECT_EQ(items[2][0], "みなとテレビ");
    EXPECT_EQ(items[2][1], "00:00 旅の情景");
    EXPECT_EQ(items[2][2], "01:00 歴史散歩～城下町を歩く～[字]");
    EXPECT_EQ(items[3][0], "さくら放送");
    EXPECT_EQ(items[4][0], "かわせＴＶ");
    EXPECT_EQ(items[5][0], "ほしぞらテレビ");
    EXPECT_EQ(items[5][2], "01:00 こども劇場[字]");

    // The list control as created: id, styles and the three columns. (The control itself
    // drops WS_VSCROLL while nothing needs scrolling.)
    EXPECT_EQ(GetDlgCtrlID(List()), 1011);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(List(), GWL_STYLE));
    const DWORD expected = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED |
                           LVS_NOSORTHEADER;
    EXPECT_EQ(style & expected, expected);
    const char* titles[] = {"CH", "現在の番組", "次の番組"};
    const int widths[] = {120, 400, 400};
    for (int k = 0; k < 3; ++k) {
        char text[64] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETCOLUMNA, k, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(text, titles[k]);
        EXPECT_EQ(column.cx, widths[k]);
    }
}

TEST_F(ListWindowHost, CurrentServiceIsCrimsonAndEmptyCellsGrey)
{
    Start();
    FeedSampleStream();
    ReportChannels();  // now receiving 0x0408
    ASSERT_TRUE(WaitForItems(6));
    RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    const CapturedImage image = CaptureWindow(List());
    ASSERT_FALSE(image.Empty());
    // LUMARA_PICTURES=<folder> keeps a picture of the window for a look by eye.
    if (const char* folder = std::getenv("LUMARA_PICTURES")) {
        EXPECT_TRUE(SaveWindowPng(MainWindow(), std::string(folder) + "\\list-window-test.png"));
    }

    const int current = FindItem(List(), "みなとテレビ");
    ASSERT_EQ(current, 2);
    for (int column = 0; column < 3; ++column) {
        const RECT cell = CellRect(List(), current, column);
        EXPECT_EQ(image.Pixel(cell.right - 3, cell.top + 1), kCrimson) << "column " << column;
    }
    const RECT empty = CellRect(List(), 1, 2);
    EXPECT_EQ(image.Pixel((empty.left + empty.right) / 2, (empty.top + empty.bottom) / 2), kGrey);
    const RECT name = CellRect(List(), 0, 0);
    EXPECT_EQ(image.Pixel(name.right - 3, name.top + 1), kEvenNameFill);
}

TEST_F(ListWindowHost, GeometryWidthsAndCacheOutliveTheWindow)
{
    Start();
    FeedSampleStream();
    ASSERT_TRUE(WaitForItems(6));
    const std::vector<ItemTexts> before = ListItems(List());
    const int widths[] = {150, 333, 222};
    for (int k = 0; k < 3; ++k) SendMessageA(List(), LVM_SETCOLUMNWIDTH, k, widths[k]);
    SetWindowPos(MainWindow(), nullptr, 100, 50, 700, 300, SWP_NOZORDER);
    ASSERT_TRUE(PumpClockTicks(1, 3000)) << "the geometry is sampled by a tick";

    DestroyWindow(MainWindow());
    const std::string ini = DataFilePath(".ini");
    const auto value = [&](const char* key) { return GetPrivateProfileIntA("LumaraList", key, -1, ini.c_str()); };
    EXPECT_EQ(value("CHW"), 150);
    EXPECT_EQ(value("NOWW"), 333);
    EXPECT_EQ(value("NEXTW"), 222);
    EXPECT_EQ(value("WindowX"), 100);
    EXPECT_EQ(value("WindowY"), 50);
    EXPECT_EQ(value("WindowCX"), 800) << "the right edge, not the width";
    EXPECT_EQ(value("WindowCY"), 350);
    EXPECT_EQ(value("WindowMin"), 0);
    EXPECT_NE(GetFileAttributesA(DataFilePath(".dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(DataFilePath(".upd").c_str()), INVALID_FILE_ATTRIBUTES);

    // The next start: a new object, and of the stream only its clock, so that the rows are
    // built for the same minute whatever the machine's date.
    EXPECT_EQ(plugin.DeletingDestructor(1), plugin.Raw());
    plugin = PluginObject(library.GetIface());
    Start();
    RECT window = {};
    GetWindowRect(MainWindow(), &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);
    EXPECT_EQ(window.right, 800);
    EXPECT_EQ(window.bottom, 350);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(SendMessageA(List(), LVM_GETCOLUMNWIDTH, k, 0), widths[k]);
    const Bytes clock = MakeTotPacket({2026, 12, 8, 0, 1, 0});
    plugin.StreamData(clock.data(), static_cast<uint32_t>(clock.size()));
    ASSERT_TRUE(WaitForItems(6)) << "the cache loaded at creation fills the list";
    EXPECT_EQ(ListItems(List()), before);
}

// A tick comes every second; waiting a little longer sees at least one.
constexpr DWORD kOneTickMs = 1300;

TEST_F(ListWindowHost, MinimisedWindowKeepsItsLastRectangleAndReopensMinimised)
{
    Start();
    const HWND window = FindPluginWindow();
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 100, 50, 700, 300, SWP_NOZORDER);
    PumpFor(kOneTickMs);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    PumpFor(kOneTickMs);
    DestroyWindow(window);
    const std::string ini = DataFilePath(".ini");
    const auto expectSaved = [&](const char* when) {
        const auto value = [&](const char* key) { return GetPrivateProfileIntA("LumaraList", key, -1, ini.c_str()); };
        EXPECT_EQ(value("WindowX"), 100) << when;
        EXPECT_EQ(value("WindowY"), 50) << when;
        EXPECT_EQ(value("WindowCX"), 800) << when;
        EXPECT_EQ(value("WindowCY"), 350) << when;
        EXPECT_EQ(value("WindowMin"), 1) << when;
    };
    expectSaved("closed while minimised: the rectangle from before");

    Restart();
    const HWND reopened = FindPluginWindow();
    EXPECT_TRUE(IsIconic(reopened)) << "opens minimised";
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(reopened, &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.top, 50);
    EXPECT_EQ(placement.rcNormalPosition.right, 800);
    EXPECT_EQ(placement.rcNormalPosition.bottom, 350);
    PumpFor(kOneTickMs);
    DestroyWindow(reopened);
    expectSaved("closed again without being restored");
}

TEST_F(ListWindowHost, WindowClosedBeforeItsFirstTickKeepsNoGeometry)
{
    Start();
    DestroyWindow(MainWindow());
    const std::string ini = DataFilePath(".ini");
    EXPECT_EQ(GetPrivateProfileIntA("LumaraList", "CHW", -1, ini.c_str()), 120);
    EXPECT_EQ(GetPrivateProfileIntA("LumaraList", "WindowX", -1, ini.c_str()), -1);
}

}  // namespace
