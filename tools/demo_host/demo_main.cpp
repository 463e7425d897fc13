// lumara-demo: a small viewer host for LumaraList. It loads the plug-in as a viewer
// does, plays a transport stream into it, answers its tuning calls with a pretend tuner,
// and can print the list's rows and save pictures of the plug-in's window. The plug-in
// keeps its three files beside the host, as in a viewer's folder, so a run carries over
// what the previous one stored unless --fresh sets them aside.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "demo_plan.h"
#include "demo_player.h"
#include "list_rows_text.h"
#include "plugin_abi.h"
#include "settings/settings_keys.h"
#include "support/sample_stream.h"
#include "ts/stream_parser.h"
#include "window_capture.h"

namespace {

constexpr char kHostClass[] = "LumaraDemoHostWindow";
constexpr char kTrayClass[] = "Moxel_TaskTray_Class";
constexpr char kHostTitle[] = "LumaraList デモ";
constexpr uint32_t kSdkVersion = 0x00010000;
constexpr int kStatusId = 1001;
constexpr int kRecordingId = 1012;  // read by the plug-in's recording guard
constexpr int kRecordSwitchId = 1020;
constexpr int kShowListId = 1021;
constexpr WORD kTrayToggle = 1011;  // the plug-in's close notification
constexpr UINT_PTR kRunOutTimer = 1;
constexpr size_t kScanBytes = 32u << 20;

struct DemoApp {
    DemoOptions options;
    HWND host = nullptr;
    HWND tray = nullptr;
    HWND status = nullptr;
    HWND recording = nullptr;
    PluginLibrary library;
    PluginObject plugin;
    std::unique_ptr<DemoPlayer> player;
    int exitCode = 0;
    bool finished = false;
};

DemoApp g_app;

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int id, int x, int y, int w, int h)
{
    const HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                       nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

void ShowTuned(int channel, uint32_t serviceId)
{
    char text[128];
    std::snprintf(text, sizeof(text), "受信中: 物理チャンネル %d / サービス 0x%04X", channel, serviceId);
    SetWindowTextA(g_app.status, text);
}

void WriteRows(HWND pluginWindow)
{
    std::FILE* out = stdout;
    if (!g_app.options.printFile.empty()) out = std::fopen(g_app.options.printFile.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", g_app.options.printFile.c_str());
        g_app.exitCode = 1;
        return;
    }
    for (std::string line : ListRowsUtf8(pluginWindow)) {
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    if (out != stdout) std::fclose(out);
    std::fflush(stdout);
}

// Saves and prints what was asked, then takes the plug-in down in the host's order:
// the window first, then the object, then the library.
void Finish()
{
    if (g_app.finished) return;
    g_app.finished = true;
    const HWND pluginWindow = FindPluginWindow(g_app.host);
    if (!g_app.options.pngDir.empty()) {
        const std::string& dir = g_app.options.pngDir;
        const std::string path = dir + (dir.find('\\') != std::string::npos ? "\\" : "/") + "main-window.png";
        // Active, as the user sees it when working with it.
        if (pluginWindow) SetForegroundWindow(pluginWindow);
        if (pluginWindow && IsWindowVisible(pluginWindow) && SaveWindowPng(pluginWindow, path)) {
            std::fprintf(stderr, "saved %s\n", path.c_str());
        } else {
            std::fprintf(stderr, "could not save %s\n", path.c_str());
            g_app.exitCode = 1;
        }
    }
    if (g_app.options.print && pluginWindow) WriteRows(pluginWindow);
    if (g_app.player) g_app.player->Stop();
    if (pluginWindow) DestroyWindow(pluginWindow);
    if (g_app.plugin.Raw()) g_app.plugin.DeletingDestructor(1);
    g_app.plugin = PluginObject();
    g_app.player.reset();
    DestroyWindow(g_app.host);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kRecordSwitchId && HIWORD(wParam) == BN_CLICKED) {
            const bool on = SendMessageA(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
            SetWindowTextA(g_app.recording, on ? "録画中" : "");
        } else if (LOWORD(wParam) == kShowListId && g_app.tray) {
            SendMessageA(g_app.tray, WM_COMMAND, kTrayToggle, reinterpret_cast<LPARAM>(FindPluginWindow(hwnd)));
        }
        return 0;
    case kMsgTuned:
        ShowTuned(static_cast<int>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kRunOutTimer) {
            KillTimer(hwnd, kRunOutTimer);
            Finish();
        }
        return 0;
    case WM_CLOSE:
        Finish();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// The plug-in's close notification: hide its window, or show it again.
LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kTrayToggle) {
        const HWND pluginWindow = reinterpret_cast<HWND>(lParam);
        if (IsWindow(pluginWindow)) ShowWindow(pluginWindow, IsWindowVisible(pluginWindow) ? SW_HIDE : SW_SHOW);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool CreateHostWindows()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA host = {};
    host.lpfnWndProc = HostProc;
    host.hInstance = instance;
    host.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = kHostClass;
    WNDCLASSA tray = {};
    tray.lpfnWndProc = TrayProc;
    tray.hInstance = instance;
    tray.lpszClassName = kTrayClass;
    if (!RegisterClassA(&host) || !RegisterClassA(&tray)) return false;
    g_app.host = CreateWindowExA(0, kHostClass, kHostTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 760, 20, 420, 150, nullptr, nullptr, instance, nullptr);
    g_app.tray = CreateWindowExA(0, kTrayClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    if (!g_app.host || !g_app.tray) return false;
    g_app.status = Child(g_app.host, "STATIC", "受信待ち", 0, kStatusId, 10, 10, 390, 20);
    g_app.recording = Child(g_app.host, "STATIC", "", 0, kRecordingId, 300, 40, 100, 20);
    Child(g_app.host, "BUTTON", "録画", BS_AUTOCHECKBOX, kRecordSwitchId, 10, 38, 120, 24);
    Child(g_app.host, "BUTTON", "番組一覧の表示/非表示", BS_PUSHBUTTON, kShowListId, 10, 72, 200, 28);
    ShowWindow(g_app.host, SW_SHOWNOACTIVATE);
    return true;
}

// The services the stream names, read by the plug-in's own intake from its first part.
std::vector<uint32_t> ScanServices(StreamSource& source)
{
    auto parser = std::make_unique<StreamParser>();
    const std::vector<uint8_t> head = source.Head(kScanBytes);
    TakePackets(*parser, head.data(), head.size());
    return StreamServiceIds(*parser);
}

// Says which of the plug-in's files this run starts from; with --fresh, first renames each
// to "<name>.bak" (replacing an older one), so the run starts from none and loses nothing.
bool ReportDataFiles(bool fresh)
{
    char exe[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe, length);
    folder.resize(folder.find_last_of('\\') + 1);
    for (const char* extension : {kSettingsFileExtension, kEventCacheFileExtension, kChangeLogFileExtension}) {
        const std::string path = folder + kDataFileBaseName + extension;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        bool present = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
        if (present && fresh) {
            const std::string aside = path + ".bak";
            if (!MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                std::fprintf(stderr, "cannot set %s aside\n", path.c_str());
                return false;
            }
            std::fprintf(stderr, "set aside as %s\n", aside.c_str());
            present = false;
        }
        if (present)
            std::fprintf(stderr, "starting from %s (%lu bytes)\n", path.c_str(), static_cast<unsigned long>(data.nFileSizeLow));
        else
            std::fprintf(stderr, "starting without %s\n", path.c_str());
    }
    return true;
}

bool OpenStream(StreamSource& source)
{
    if (g_app.options.stream.empty()) {
        source.UseBytes(MakeSampleStream());
        return true;
    }
    if (source.OpenFile(g_app.options.stream)) return true;
    std::fprintf(stderr, "cannot read %s\n", g_app.options.stream.c_str());
    return false;
}

int RunDemo(StreamSource& source)
{
    const std::vector<DemoChannel> plan = PlanChannels(ScanServices(source));
    for (const DemoChannel& c : plan) {
        std::fprintf(stderr, "channel %d:", c.channel);
        for (uint32_t id : c.serviceIds) std::fprintf(stderr, " 0x%04X", id);
        std::fprintf(stderr, "\n");
    }
    if (!g_app.library.Load()) {
        std::fprintf(stderr, "LumaraList.dll beside the program could not be loaded\n");
        return 1;
    }
    g_app.plugin = PluginObject(g_app.library.GetIface());
    if (!g_app.plugin.Raw() || !CreateHostWindows()) return 1;
    g_app.player = std::make_unique<DemoPlayer>(g_app.plugin, DemoTuner(plan), source, g_app.options.speed, g_app.host);
    if (g_app.plugin.Initialise(g_app.player->Interface(), kSdkVersion) != 1) return 1;
    g_app.plugin.CreatePluginWindow(g_app.host);
    g_app.player->Start();
    if (g_app.options.seconds > 0) SetTimer(g_app.host, kRunOutTimer, static_cast<UINT>(g_app.options.seconds) * 1000u, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_app.library.Unload();
    return g_app.exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    g_app.options = ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!g_app.options.error.empty()) {
        std::fprintf(stderr, "%s\n%s\n", g_app.options.error.c_str(), kDemoUsage);
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!ReportDataFiles(g_app.options.fresh)) return 1;
    StreamSource source;
    if (!OpenStream(source)) return 1;
    return RunDemo(source);
}
