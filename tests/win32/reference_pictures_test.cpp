// The four windows on a small scenario at a fixed evening, each in a state that shows its
// colour rules, compared with their reference pictures (reference_picture.h). With
// LUMARA_SCREENSHOT_DIR set, the secondary windows are also saved whole for docs/screenshots/:
//   LUMARA_SCREENSHOT_DIR=docs/screenshots wine test_win32_host.exe --gtest_filter='ReferencePictures.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "dialogs_probe.h"
#include "reference_picture.h"
#include "window_capture.h"

namespace {

struct ScenarioService {
    uint16_t serviceId;
    const char8_t* name;
    const char8_t* title;
    const char8_t* text;
    int minutes;  // of the programme on air since 20:00
    bool next;    // a programme follows it
};

// 0x0400 ends in two and a half minutes (the countdown bar); 0x0402 has nothing after it (a
// grey cell); 0x0408 is received (crimson); 0x0410 has recorded changes (a red name);
// 0x0400-0x0402 form one block in the settings dialog.
const ScenarioService kServices[] = {
    {0x0400, u8"ルマーラ総合", u8"ドラマ「港の灯」第８話", u8"灯台守の娘が見つけた古い手紙の秘密とは。", 30, true},
    {0x0401, u8"ルマーラ総合２", u8"こども劇場", u8"人形劇「森のおまつり」。", 60, true},
    {0x0402, u8"ルマーラ総合３", u8"映画「星の海」", u8"宇宙を旅する少年と老船長の物語。", 150, false},
    {0x0408, u8"みなとテレビ", u8"歴史散歩～城下町を歩く～", u8"城下町に残る商家と石垣を訪ねる。", 60, true},
    {0x0410, u8"さくら放送", u8"きょうの料理", u8"冬野菜たっぷりのけんちん汁と白和え。", 90, true},
};
const time_t kStart = LocalStamp(2026, 12, 8, 20, 0);
const time_t kNow = kStart + 27 * 60 + 30;

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

class ReferencePictures : public DialogsHost {
protected:
    void SetUp() override
    {
        const char* folder = std::getenv("LUMARA_SCREENSHOT_DIR");
        g_folder = folder ? folder : "";
        DialogsHost::SetUp();
        ASSERT_TRUE(HoldPluginClock(library.Module(), kNow));
        WriteChangeLog();
        Start();
        FeedClock(kNow);
        std::vector<std::pair<uint16_t, std::u8string>> names;
        for (const ScenarioService& service : kServices) names.push_back({service.serviceId, service.name});
        FeedServices(names);
        FeedNetwork(names);
        for (const ScenarioService& service : kServices) FeedProgrammes(service);
        host.SetServices({0x0408, 0x0410});
        plugin.StreamChange(27, 0x0408);
        ASSERT_TRUE(WaitForItemCount(5));
        SetWindowPos(MainWindow(), nullptr, 20, 20, 900, 200, SWP_NOZORDER);
        PumpFor(200);
    }

    void FeedProgrammes(const ScenarioService& service)
    {
        Bytes present = ShortEventDescriptor(EncodeArib(service.title), EncodeArib(service.text));
        AppendBytes(present, ComponentDescriptor(0xB3));
        const Bytes next = ShortEventDescriptor(EncodeArib(u8"ニュース７"), EncodeArib(u8"今日の出来事を詳しく伝えます。"));
        std::vector<EitEvent> events = {Event(1, kStart, service.minutes * 60, present)};
        if (service.next) events.push_back(Event(2, kStart + service.minutes * 60, 3600, next));
        FeedSchedule(0x50, service.serviceId, events);
        Bytes extended = ExtendedEventDescriptor(0, 2, {{EncodeArib(u8"出演者"), EncodeArib(u8"海野さくら、")}});
        AppendBytes(extended, ExtendedEventDescriptor(1, 2, {{{}, EncodeArib(u8"川辺大地、石田文子")}}));
        AppendBytes(extended, ExtendedEventDescriptor(2, 2, {{EncodeArib(u8"番組内容"),
                                                              EncodeArib(u8"嵐の夜、灯台に届いた一通の手紙。")}}));
        FeedSchedule(0x58, service.serviceId, {Event(1, kStart, service.minutes * 60, extended)});
    }

    // Changes of this evening: a programme moved by thirty minutes, one retitled, one added
    // and one removed (of a service no longer broadcast).
    void WriteChangeLog()
    {
        auto at = [](int hour, int minute) { return LocalStamp(2026, 12, 8, hour, minute); };
        ChangeLog log;
        log.Append({0x0410, Snapshot(at(21, 0), 60, u8"音楽の夜"), Snapshot(at(21, 30), 60, u8"音楽の夜")});
        log.Append({0x0410, Snapshot(at(19, 0), 60, u8"ニュース７"), Snapshot(at(19, 0), 60, u8"ニュース７・気象情報と交通情報")});
        log.Append({0x0418, {}, Snapshot(at(23, 0), 30, u8"旅の情景")});
        log.Append({0x0418, Snapshot(at(22, 0), 54, u8"ドキュメント　森の声"), {}});
        SaveChangeLog(log, DataFilePath(".upd").c_str());
    }

    // The client area against its reference; the whole window for the docs when asked.
    void ExpectPicture(HWND window, const char* name)
    {
        EXPECT_EQ(DifferenceFromReference(CaptureWindow(window), name), "") << name;
        if (!g_folder.empty()) {
            EXPECT_TRUE(SaveWindowPng(window, g_folder + "/" + name + ".png"));
        }
    }
};

TEST_F(ReferencePictures, ListWindow)
{
    ExpectPicture(MainWindow(), "list-window");
}

TEST_F(ReferencePictures, DetailsPopupAtItsMinimumSize)
{
    RECT cell = CellRect(List(), 0, 1);
    POINT pointer = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(List(), &pointer);
    SetCursorPos(pointer.x, pointer.y);
    ClickCell(MainWindow(), List(), 0, 1);
    const HWND popup = FindOwnedWindow(MainWindow(), kPopupTextId);
    ASSERT_TRUE(popup && IsWindowVisible(popup));
    SetWindowPos(popup, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(300);
    ExpectPicture(popup, "details-popup");
}

TEST_F(ReferencePictures, UpdateDialogWithASelectedRow)
{
    SendMessageA(MainWindow(), WM_COMMAND, kCmdShowUpdatesId, 0);
    PumpFor(300);
    const HWND dialog = FindOwnedWindow(MainWindow(), kUpdateListId);
    ASSERT_TRUE(dialog && IsWindowVisible(dialog));
    SetWindowPos(dialog, nullptr, 40, 260, 910, 200, SWP_NOZORDER);
    LVITEMA lv = {};
    lv.stateMask = lv.state = LVIS_SELECTED;
    SendMessageA(GetDlgItem(dialog, kUpdateListId), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&lv));
    PumpFor(300);
    ExpectPicture(dialog, "update-dialog");
}

TEST_F(ReferencePictures, SettingsDialogWithABlockMember)
{
    bool seen = false;
    g_inSettings = [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, kSetupListId);
        LVITEMA lv = {};
        lv.stateMask = LVIS_STATEIMAGEMASK;
        lv.state = INDEXTOSTATEIMAGEMASK(1);
        SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&lv));
        lv.stateMask = lv.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&lv));
        PumpFor(300);
        ExpectPicture(dialog, "settings-dialog");
        seen = true;
        PressButton(dialog, IDCANCEL);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InSettings);
    SendMessageA(MainWindow(), WM_SYSCOMMAND, kCmdSettingsId, 0);
    KillTimer(nullptr, timer);
    g_inSettings = nullptr;
    EXPECT_TRUE(seen);
}

}  // namespace
