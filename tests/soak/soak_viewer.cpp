#include "soak_viewer.h"

#include <commctrl.h>

#include <cstdio>

namespace {

constexpr uint32_t kSdkVersion = 0x00010000;
constexpr int kMainListId = 1011;
constexpr size_t kBlockBytes = 188 * 256;

uint64_t Ticks(const FILETIME& t) { return static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

struct WindowSearch {
    HWND found = nullptr;
};

BOOL CALLBACK MatchMain(HWND hwnd, LPARAM context)
{
    if (!GetDlgItem(hwnd, kMainListId)) return TRUE;
    reinterpret_cast<WindowSearch*>(context)->found = hwnd;
    return FALSE;
}

}  // namespace

uint64_t ThreadCpu()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return Ticks(kernel) + Ticks(user);
}

uint64_t ProcessCpu()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return Ticks(kernel) + Ticks(user);
}

std::string DataFilePath(const char* extension)
{
    char exePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    std::string path(exePath);
    return path.substr(0, path.find_last_of("\\/") + 1) + "Moxel_LumaraList" + extension;
}

Bytes ReadWholeFile(const std::string& path)
{
    Bytes bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
        std::fclose(file);
    }
    return bytes;
}

bool SoakViewer::Start()
{
    if (!m_library.Load()) return false;
    m_plugin = PluginObject(m_library.GetIface());
    if (!m_plugin.Raw()) return false;
    if (m_plugin.Initialise(m_host.Interface(), kSdkVersion) != 1) return false;
    if (m_plugin.CreatePluginWindow(m_windows.Parent()) != 1) return false;
    m_main = FindMainWindow();
    return m_main != nullptr;
}

void SoakViewer::Stop()
{
    if (!m_plugin.Raw()) return;
    if (IsWindow(m_main)) DestroyWindow(m_main);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    m_plugin.DeletingDestructor(1);
    m_plugin = PluginObject();
    m_main = nullptr;
    m_library.Unload();
}

void SoakViewer::Feed(const Bytes& stream)
{
    if (!m_plugin.Raw()) return;
    const uint64_t before = ThreadCpu();
    for (size_t at = 0; at < stream.size(); at += kBlockBytes)
        m_plugin.StreamData(stream.data() + at, static_cast<uint32_t>(std::min(kBlockBytes, stream.size() - at)));
    m_feedCpu += ThreadCpu() - before;
}

void SoakViewer::Tune(int channel, const std::vector<uint16_t>& services)
{
    m_host.SetServices(std::vector<uint32_t>(services.begin(), services.end()));
    m_plugin.StreamChange(channel, services.front());
}

HWND SoakViewer::List() const { return m_main ? GetDlgItem(m_main, kMainListId) : nullptr; }

std::vector<ListTexts> SoakViewer::Rows() const { return ListItems(List()); }

// The plug-in's window: a child of the host's window or a window of this thread of its own,
// found by its list control.
HWND SoakViewer::FindMainWindow() const
{
    WindowSearch search;
    EnumChildWindows(m_windows.Parent(), MatchMain, reinterpret_cast<LPARAM>(&search));
    if (!search.found) EnumThreadWindows(GetCurrentThreadId(), MatchMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
