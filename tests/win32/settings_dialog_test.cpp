// The settings dialog through the test host: it runs modally inside the main window's
// command, so a thread timer, which the dialog's modal loop dispatches, plays the user.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs_probe.h"

namespace {

constexpr uint16_t kAlpha = 0x0400;
constexpr uint16_t kBeta = 0x0408;
constexpr uint16_t kGamma = 0x0410;

std::function<void(HWND)> g_user;  // what the user does in the open dialog

BOOL CALLBACK MatchSettingsDialog(HWND hwnd, LPARAM found)
{
    char caption[16] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (!GetDlgItem(hwnd, kSetupListId) || std::string(caption) != "設定") return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void CALLBACK PlayUser(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchSettingsDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    const std::function<void(HWND)> user = std::move(g_user);
    g_user = nullptr;
    if (user) user(dialog);
}

std::vector<std::string> Names(HWND list)
{
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(list); ++i) names.push_back(ListItemText(list, i, 0));
    return names;
}

void SetTick(HWND list, int item, bool ticked)
{
    LVITEMA lv = {};
    lv.stateMask = LVIS_STATEIMAGEMASK;
    lv.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
}

void Select(HWND list, int item)
{
    LVITEMA lv = {};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
}

class SettingsDialog : public DialogsHost {
protected:
    void SetUp() override
    {
        DialogsHost::SetUp();
        Start();
        FeedClock();
        FeedServices({{kAlpha, u8"アルファ"}, {kBeta, u8"ベータ"}, {kGamma, u8"ガンマ"}});
        const time_t now = std::time(nullptr);
        for (uint16_t serviceId : {kAlpha, kBeta, kGamma})
            FeedSchedule(0x50, serviceId, {Event(1, now - 60, 3600, ShortEventDescriptor(EncodeArib(u8"番組"), {}))});
        ASSERT_TRUE(WaitForItemCount(3));
    }

    // Opens the dialog from the system menu and lets `user` act in it; the dialog's items as
    // the user saw them first.
    std::vector<std::string> RunDialog(std::function<void(HWND dialog, HWND list)> user)
    {
        std::vector<std::string> seen;
        g_user = [&](HWND dialog) {
            const HWND list = GetDlgItem(dialog, kSetupListId);
            seen = Names(list);
            user(dialog, list);
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, PlayUser);
        SendMessageA(MainWindow(), WM_SYSCOMMAND, kCmdSettingsId, 0);
        KillTimer(nullptr, timer);
        g_user = nullptr;
        return seen;
    }

    std::string Ini() { return DataFilePath(".ini"); }
};

TEST_F(SettingsDialog, OkHidesAnUntickedServiceAtOnceAndSavesTheOrder)
{
    const std::vector<std::string> seen = RunDialog([](HWND dialog, HWND list) {
        EXPECT_EQ(ControlText(dialog, kSetupUpId), "上へ");
        EXPECT_EQ(ControlText(dialog, 1020), "下へ");
        EXPECT_EQ(ControlText(dialog, IDCANCEL), "キャンセル");
        EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER),
                  LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER);
        EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
        SetTick(list, 1, false);  // ベータ
        Select(list, 2);          // ガンマ, a block of its own, to the top
        PressButton(dialog, kSetupUpId);
        PressButton(dialog, kSetupUpId);
        EXPECT_EQ(Names(list), (std::vector<std::string>{"ガンマ", "アルファ", "ベータ"}));
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"アルファ", "ベータ", "ガンマ"}));
    ASSERT_EQ(ItemCount(List()), 2) << "rebuilt before the dialog closed";
    EXPECT_NE(ListItemText(List(), 0, 0).find("ガンマ"), std::string::npos);
    EXPECT_NE(ListItemText(List(), 1, 0).find("アルファ"), std::string::npos);
    EXPECT_EQ(GetPrivateProfileIntA("SetupDialog", "Check1032", -1, Ini().c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntA("SetupDialog", "Check1040", -1, Ini().c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntA("SetupDialog", "Sort1040", -1, Ini().c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntA("SetupDialog", "Sort1024", -1, Ini().c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntA("SetupDialog", "Sort1032", -1, Ini().c_str()), 2);

    // Reopened: the saved order, the unticked service listed without its tick.
    const std::vector<std::string> again = RunDialog([](HWND dialog, HWND list) {
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 2, LVIS_STATEIMAGEMASK) >> 12, 1);
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) >> 12, 2);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(again, (std::vector<std::string>{"ガンマ", "アルファ", "ベータ"}));
}

TEST_F(SettingsDialog, UpAndDownMoveABlockOfConsecutiveServicesAsOne)
{
    const time_t now = std::time(nullptr);
    for (uint16_t serviceId : {kAlpha + 1, kAlpha + 2})
        FeedSchedule(0x50, serviceId, {Event(1, now - 60, 3600, ShortEventDescriptor(EncodeArib(u8"番組"), {}))});
    // Listed as アルファ, 1025, 1026, ベータ, ガンマ: 0x0400 to 0x0402 are one block.
    const std::pair<int, const char*> sorts[] = {{1024, "0"}, {1025, "1"}, {1026, "2"}, {1032, "3"}, {1040, "4"}};
    for (const auto& [serviceId, sort] : sorts)
        WritePrivateProfileStringA("SetupDialog", ("Sort" + std::to_string(serviceId)).c_str(), sort, Ini().c_str());
    RunDialog([](HWND dialog, HWND list) {
        Select(list, 1);
        PressButton(dialog, 1020);  // "下へ": the block under it goes above it
        EXPECT_EQ(Names(list), (std::vector<std::string>{"ベータ", "アルファ", "1025", "1026", "ガンマ"}));
        PressButton(dialog, kSetupUpId);
        EXPECT_EQ(Names(list), (std::vector<std::string>{"アルファ", "1025", "1026", "ベータ", "ガンマ"}));
        PressButton(dialog, IDCANCEL);
    });
}

TEST_F(SettingsDialog, CancelChangesNothing)
{
    RunDialog([](HWND dialog, HWND list) {
        SetTick(list, 0, false);
        Select(list, 2);
        PressButton(dialog, kSetupUpId);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(ItemCount(List()), 3);
    EXPECT_NE(ListItemText(List(), 0, 0).find("アルファ"), std::string::npos);
    char value[16] = {};
    EXPECT_EQ(GetPrivateProfileStringA("SetupDialog", nullptr, "", value, sizeof value, Ini().c_str()), 0u)
        << "nothing written";
}

}  // namespace
