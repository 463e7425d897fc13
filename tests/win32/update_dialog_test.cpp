// The update-information dialog through the test host: recorded changes listed with their
// differences in red, sorted by header clicks, cleared, and its settings saved.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "dialogs_probe.h"
#include "window_capture.h"

namespace {

constexpr uint16_t kNamedService = 0x0400;
constexpr uint16_t kGoneService = 0x0408;

EventSnapshot Snapshot(time_t start, time_t end, std::u8string_view name)
{
    EventSnapshot snapshot;
    snapshot.start = start;
    snapshot.end = end;
    const std::vector<uint8_t> bytes = EncodeArib(name);
    snapshot.nameLength = static_cast<uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), snapshot.name);
    return snapshot;
}

bool Reddish(COLORREF colour)
{
    return GetRValue(colour) > 180 && GetGValue(colour) < 120 && GetBValue(colour) < 120;
}

// The x positions of a cell that hold red text.
std::set<int> RedColumns(const CapturedImage& image, const RECT& cell)
{
    std::set<int> columns;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x)
            if (Reddish(image.Pixel(x, y))) columns.insert(x);
    return columns;
}

class UpdateDialog : public DialogsHost {
protected:
    void SetUp() override
    {
        DialogsHost::SetUp();
        // Log order: a move by thirty minutes, an added programme, a removed one.
        ChangeLog log;
        log.Append({kNamedService, Snapshot(LocalStamp(2026, 12, 8, 21, 0), LocalStamp(2026, 12, 8, 22, 0), u8"夜のニュース"),
                    Snapshot(LocalStamp(2026, 12, 8, 21, 30), LocalStamp(2026, 12, 8, 22, 30), u8"夜のニュース")});
        log.Append({kNamedService, {}, Snapshot(LocalStamp(2026, 12, 9, 8, 0), LocalStamp(2026, 12, 9, 9, 0), u8"朝の特集")});
        log.Append({kGoneService, Snapshot(LocalStamp(2026, 12, 8, 10, 0), LocalStamp(2026, 12, 8, 11, 0), u8"旧番組"), {}});
        ASSERT_TRUE(SaveChangeLog(log, DataFilePath(".upd").c_str()));
        Start();
        FeedServices({{kNamedService, u8"テスト総合"}});
        dialog = FindOwnedWindow(MainWindow(), kUpdateListId);
        ASSERT_NE(dialog, nullptr);
        list = GetDlgItem(dialog, kUpdateListId);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "not pinned: hidden at start";
    }

    void ClickHeader(int column)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = kUpdateListId;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(dialog, WM_NOTIFY, kUpdateListId, reinterpret_cast<LPARAM>(&click));
    }

    // The main list's first item shows its service's name in red.
    bool NameInRed()
    {
        const HWND mainList = List();
        RedrawWindow(mainList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return !RedColumns(CaptureWindow(mainList), CellRect(mainList, 0, 0)).empty();
    }

    std::vector<LPARAM> RecordOrder()
    {
        std::vector<LPARAM> order;
        for (int i = 0; i < ItemCount(list); ++i) order.push_back(ListItemParam(list, i));
        return order;
    }

    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(UpdateDialog, ListsChangesWithTheirDifferencesInRed)
{
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(200);
    ASSERT_TRUE(IsWindowVisible(dialog));
    char caption[32] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "更新情報");
    EXPECT_EQ(ControlText(dialog, kUpdateClearId), "クリア");
    EXPECT_EQ(ControlText(dialog, IDCANCEL), "閉じる");
    const LONG listStyle = GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(listStyle & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_OWNERDRAWFIXED),
              LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED);
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_CAPTION | WS_SYSMENU),
              WS_THICKFRAME | WS_CAPTION | WS_SYSMENU);
    ASSERT_EQ(ItemCount(list), 3);
    const std::string name = ListItemText(list, 0, 0);
    EXPECT_NE(name.find("テスト総合"), std::string::npos);
    EXPECT_EQ(ListItemText(list, 0, 1), "2026/12/08(火)");
    EXPECT_EQ(ListItemText(list, 0, 2), "21:00～22:00 夜のニュース");
    EXPECT_EQ(ListItemText(list, 0, 3), "21:30～22:30 夜のニュース");
    EXPECT_EQ(ListItemText(list, 1, 1), "2026/12/09(水)");  // an added programme: its new start
    EXPECT_EQ(ListItemText(list, 1, 2), "");
    EXPECT_EQ(ListItemText(list, 2, 0), "1032ch");  // no longer in the store
    EXPECT_EQ(ListItemText(list, 2, 3), "");

    const CapturedImage image = CaptureWindow(list);
    ASSERT_FALSE(image.Empty());
    // The moved programme: only the tens digits of its two minute fields are red in each cell.
    for (int column : {2, 3}) {
        const std::set<int> red = RedColumns(image, CellRect(list, 0, column));
        EXPECT_GT(red.size(), 0u) << "column " << column;
        EXPECT_LT(red.size(), 30u) << "column " << column;
    }
    const RECT date = CellRect(list, 0, 1);
    EXPECT_TRUE(RedColumns(image, date).empty());
    EXPECT_EQ(image.Pixel(date.right - 4, (date.top + date.bottom) / 2), RGB(230, 230, 250));  // even row
    // The added programme: an empty dark-grey old cell, its new title in black.
    const RECT addedOld = CellRect(list, 1, 2);
    EXPECT_EQ(image.Pixel(addedOld.right - 4, (addedOld.top + addedOld.bottom) / 2), RGB(105, 105, 105));
    EXPECT_TRUE(RedColumns(image, CellRect(list, 1, 3)).empty());
    const RECT addedNew = CellRect(list, 1, 3);
    EXPECT_EQ(image.Pixel(addedNew.right - 4, (addedNew.top + addedNew.bottom) / 2), RGB(240, 248, 255));  // odd row
    // The removed programme: its old title in black on light grey.
    const RECT removedOld = CellRect(list, 2, 2);
    EXPECT_EQ(image.Pixel(removedOld.right - 4, (removedOld.top + removedOld.bottom) / 2), RGB(169, 169, 169));
    EXPECT_TRUE(RedColumns(image, removedOld).empty());
}

TEST_F(UpdateDialog, HeaderClicksSortAndRefreshRestoresLogOrder)
{
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(100);
    ASSERT_EQ(RecordOrder(), (std::vector<LPARAM>{0, 1, 2}));
    ClickHeader(1);  // "日時" ascending; the added programme by its new start
    EXPECT_EQ(RecordOrder(), (std::vector<LPARAM>{2, 0, 1}));
    ClickHeader(1);
    EXPECT_EQ(RecordOrder(), (std::vector<LPARAM>{1, 0, 2}));
    ClickHeader(0);  // "CH" by service id
    EXPECT_EQ(ListItemParam(list, 2), 2);
    // Too low for the three records: a refresh shows the last one.
    SetWindowPos(dialog, nullptr, 0, 0, 600, 130, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(dialog, WM_COMMAND, kUpdateRefreshId, 0);
    EXPECT_EQ(RecordOrder(), (std::vector<LPARAM>{0, 1, 2}));
    const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(top, 0);
    EXPECT_GE(top + SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0), 3);
}

TEST_F(UpdateDialog, DetectedChangeRedsTheNameAndRefreshesTheOpenDialog)
{
    constexpr uint16_t kMovedService = 0x0410;
    FeedClock();
    const time_t now = std::time(nullptr);
    const Bytes named = ShortEventDescriptor(EncodeArib(u8"番組"), {});
    EitSection eit{.tableId = 0x50, .serviceId = kMovedService};
    eit.events = {Event(1, now - 60, 3600, named), Event(2, now + 3540, 3600, named)};
    Feed(kPidEit, MakeEit(eit));
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    ASSERT_TRUE(WaitForItemCount(1));  // the rebuild that takes this version as the reference
    ASSERT_FALSE(NameInRed());
    eit.version = 1;
    eit.events[1].start = LocalBroadcastTime(now + 5400);
    Feed(kPidEit, MakeEit(eit));
    EXPECT_TRUE(PumpUntil([&] { return ItemCount(list) == 4; }, 11000)) << "refreshed without a click";
    EXPECT_TRUE(NameInRed()) << "at once, not at the next rebuild";
}

TEST_F(UpdateDialog, ClearRemovesTheShownRecordsAndCloseSavesHidden)
{
    // The service with recorded changes has its name in red in the main list; the row
    // appears at a rebuild, so the next regular one is ten ticks away.
    FeedClock();
    const time_t now = std::time(nullptr);
    FeedSchedule(0x50, kNamedService, {Event(1, now - 60, 3600, ShortEventDescriptor(EncodeArib(u8"番組"), {}))});
    ASSERT_TRUE(WaitForItemCount(1));
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(100);
    ASSERT_EQ(ItemCount(list), 3);
    ASSERT_TRUE(NameInRed());
    PressButton(dialog, kUpdateClearId);
    EXPECT_EQ(ItemCount(list), 0);
    EXPECT_TRUE(PumpUntil([&] { return !NameInRed(); }, 1500)) << "the main list is rebuilt on its next tick";
    SendMessageA(dialog, WM_COMMAND, kUpdateRefreshId, 0);
    EXPECT_EQ(ItemCount(list), 0);

    PressButton(dialog, IDCANCEL);  // "閉じる"
    EXPECT_FALSE(IsWindowVisible(dialog));
    RECT window = {};
    GetWindowRect(dialog, &window);
    DestroyWindow(MainWindow());
    const std::string ini = DataFilePath(".ini");
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "Fixed", -1, ini.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "CHW", -1, ini.c_str()), 120);
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "NEWW", -1, ini.c_str()), 320);
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "WindowX", -1, ini.c_str()), window.left);
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "WindowCY", -1, ini.c_str()), window.bottom - window.top);
}

TEST_F(UpdateDialog, PinnedDialogReopensRefreshedUntilClosed)
{
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(100);
    DestroyWindow(MainWindow());
    const std::string ini = DataFilePath(".ini");
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "Fixed", -1, ini.c_str()), 1);

    // The next start shows it at once, and its refresh lists the log before the first tick.
    Restart();
    dialog = FindOwnedWindow(FindPluginWindow(), kUpdateListId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    PumpFor(100);
    EXPECT_EQ(ItemCount(GetDlgItem(dialog, kUpdateListId)), 3);

    // The close box: hidden next time, and the ticks do not bring it back. The procedure
    // returns 0 for what it handles, drawing included.
    const auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    DRAWITEMSTRUCT noItem = {};
    EXPECT_EQ(procedure(dialog, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&noItem)), 0);
    EXPECT_EQ(procedure(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(FindPluginWindow());
    EXPECT_EQ(GetPrivateProfileIntA("UpdateDialog", "Fixed", -1, ini.c_str()), 0);
    Restart();
    dialog = FindOwnedWindow(FindPluginWindow(), kUpdateListId);
    ASSERT_NE(dialog, nullptr);
    PumpFor(1300);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

}  // namespace
