// Pictures of the secondary windows for docs/screenshots/, taken on a small scenario around
// the present time. Runs only when LUMARA_SCREENSHOT_DIR names the folder to write to:
//   LUMARA_SCREENSHOT_DIR=docs/screenshots wine test_win32_host.exe --gtest_filter='DialogScreenshots.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "dialogs_probe.h"
#include "window_capture.h"

namespace {

struct ScenarioService {
    uint16_t serviceId;
    const char8_t* name;
    const char8_t* title;
    const char8_t* text;
};

const ScenarioService kServices[] = {
    {0x0400, u8"ルマーラ総合", u8"ドラマ「港の灯」第８話", u8"灯台守の娘が見つけた古い手紙の秘密とは。"},
    {0x0408, u8"みなとテレビ", u8"歴史散歩～城下町を歩く～", u8"城下町に残る商家と石垣を訪ねる。"},
    {0x0410, u8"さくら放送", u8"きょうの料理", u8"冬野菜たっぷりのけんちん汁と白和え。"},
    {0x0418, u8"かわせＴＶ", u8"音楽の夜", u8"ピアノとチェロで綴る冬の名曲集。"},
};

EventSnapshot Snapshot(time_t start, int minutes, std::u8string_view name)
{
    EventSnapshot snapshot;
    snapshot.start = start;
    snapshot.end = start + minutes * 60;
    const std::vector<uint8_t> bytes = EncodeArib(name);
    snapshot.nameLength = static_cast<uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), snapshot.name);
    return snapshot;
}

std::string g_folder;
std::function<void(HWND)> g_inSettings;

BOOL CALLBACK MatchSettings(HWND hwnd, LPARAM found)
{
    if (!GetDlgItem(hwnd, kSetupListId) || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void CALLBACK InSettings(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchSettings, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    if (g_inSettings) g_inSettings(dialog);
}

class DialogScreenshots : public DialogsHost {
protected:
    void SetUp() override
    {
        const char* folder = std::getenv("LUMARA_SCREENSHOT_DIR");
        if (!folder || !*folder) GTEST_SKIP() << "LUMARA_SCREENSHOT_DIR not set";
        g_folder = folder;
        DialogsHost::SetUp();
        WriteChangeLog();
        Start();
        FeedClock();
        std::vector<std::pair<uint16_t, std::u8string>> names;
        for (const ScenarioService& service : kServices) names.push_back({service.serviceId, service.name});
        FeedServices(names);
        FeedNetwork(names);
        const time_t now = std::time(nullptr);
        start = now - now % 1800;
        for (const ScenarioService& service : kServices) FeedProgrammes(service);
        ASSERT_TRUE(WaitForItemCount(4));
        SetWindowPos(MainWindow(), nullptr, 20, 20, 900, 200, SWP_NOZORDER);
        PumpFor(200);
    }

    void FeedProgrammes(const ScenarioService& service)
    {
        Bytes present = ShortEventDescriptor(EncodeArib(service.title), EncodeArib(service.text));
        AppendBytes(present, ComponentDescriptor(0xB3));
        const Bytes next = ShortEventDescriptor(EncodeArib(u8"ニュース７"), EncodeArib(u8"今日の出来事を詳しく伝えます。"));
        FeedSchedule(0x50, service.serviceId, {Event(1, start, 1800, present), Event(2, start + 1800, 3600, next)});
        Bytes extended = ExtendedEventDescriptor(0, 2, {{EncodeArib(u8"出演者"), EncodeArib(u8"海野さくら、")}});
        AppendBytes(extended, ExtendedEventDescriptor(1, 2, {{{}, EncodeArib(u8"川辺大地、石田文子")}}));
        AppendBytes(extended, ExtendedEventDescriptor(2, 2, {{EncodeArib(u8"番組内容"),
                                                              EncodeArib(u8"嵐の夜、灯台に届いた一通の手紙。")}}));
        FeedSchedule(0x58, service.serviceId, {Event(1, start, 1800, extended)});
    }

    // Changes of this evening: a programme moved by thirty minutes, one retitled, one added
    // and one removed.
    void WriteChangeLog()
    {
        const time_t now = std::time(nullptr);
        const std::tm today = *std::localtime(&now);
        auto at = [&](int hour, int minute) {
            return LocalStamp(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday, hour, minute);
        };
        ChangeLog log;
        log.Append({0x0418, Snapshot(at(21, 0), 60, u8"音楽の夜"), Snapshot(at(21, 30), 60, u8"音楽の夜")});
        log.Append({0x0400, Snapshot(at(19, 0), 60, u8"ニュース７"), Snapshot(at(19, 0), 60, u8"ニュース７・気象情報と交通情報")});
        log.Append({0x0408, {}, Snapshot(at(23, 0), 30, u8"旅の情景")});
        log.Append({0x0410, Snapshot(at(22, 0), 54, u8"ドキュメント　森の声"), {}});
        SaveChangeLog(log, DataFilePath(".upd").c_str());
    }

    std::string PathOf(const char* name) { return g_folder + "/" + name; }

    time_t start = 0;
};

TEST_F(DialogScreenshots, DetailsPopup)
{
    RECT cell = CellRect(List(), 0, 1);
    POINT pointer = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(List(), &pointer);
    SetCursorPos(pointer.x, pointer.y);
    ClickCell(MainWindow(), List(), 0, 1);
    const HWND popup = FindOwnedWindow(MainWindow(), kPopupTextId);
    ASSERT_TRUE(popup && IsWindowVisible(popup));
    SetWindowPos(popup, nullptr, 0, 0, 420, 230, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPng(popup, PathOf("details-popup.png")));
}

TEST_F(DialogScreenshots, UpdateDialog)
{
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(300);
    const HWND dialog = FindOwnedWindow(MainWindow(), kUpdateListId);
    ASSERT_TRUE(dialog && IsWindowVisible(dialog));
    SetWindowPos(dialog, nullptr, 40, 260, 910, 200, SWP_NOZORDER);
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPng(dialog, PathOf("update-dialog.png")));
}

TEST_F(DialogScreenshots, SettingsDialog)
{
    bool saved = false;
    g_inSettings = [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, kSetupListId);
        LVITEMA lv = {};
        lv.stateMask = LVIS_STATEIMAGEMASK;
        lv.state = INDEXTOSTATEIMAGEMASK(1);
        SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&lv));
        lv.stateMask = lv.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&lv));
        PumpFor(300);
        saved = SaveWindowPng(dialog, PathOf("settings-dialog.png"));
        PressButton(dialog, IDCANCEL);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InSettings);
    SendMessageA(MainWindow(), WM_SYSCOMMAND, kCmdSettingsId, 0);
    KillTimer(nullptr, timer);
    g_inSettings = nullptr;
    EXPECT_TRUE(saved);
}

}  // namespace
