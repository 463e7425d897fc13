// A test host with the plug-in loaded fresh for every test (the module-wide state starts
// over), a fake host interface and the host's windows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_abi.h"
#include "store/event_cache.h"
#include "store/programme_store.h"
#include "store/service_entry.h"
#include "support/packetizer.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

constexpr uint32_t kSdkVersion = 0x00010000;
constexpr int kSlotGetServiceList = 5;
constexpr UINT_PTR kClockTimerId = 1000;
constexpr UINT_PTR kTuneTimerId = 1002;
constexpr int kMainListId = 1011;
constexpr char kPluginWindowClass[] = "Moxel_LumaraList_Class";

struct TappedSection {
    int pid = 0;
    Bytes bytes;
    bool operator==(const TappedSection&) const = default;
};

// Sees every complete section a parser of the test program hands to its table handlers.
class PluginSectionTap {
public:
    explicit PluginSectionTap(StreamParser* parser) : m_parser(parser)
    {
        if (!m_parser) return;
        m_parser->sectionTapContext = this;
        m_parser->sectionTap = &PluginSectionTap::Tap;
    }
    ~PluginSectionTap()
    {
        if (m_parser) m_parser->sectionTap = nullptr;
    }
    PluginSectionTap(const PluginSectionTap&) = delete;
    PluginSectionTap& operator=(const PluginSectionTap&) = delete;

    std::vector<TappedSection> sections;

private:
    static void Tap(void* context, int pid, const uint8_t* section, int length)
    {
        static_cast<PluginSectionTap*>(context)->sections.push_back({pid, Bytes(section, section + length)});
    }
    StreamParser* m_parser;
};

// The plug-in keeps its three files beside the host's executable, here the test program.
inline std::string DataFilePath(const char* extension)
{
    char exePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    std::string path(exePath);
    return path.substr(0, path.find_last_of("\\/") + 1) + "Moxel_LumaraList" + extension;
}

// Every test starts without the files an earlier one left.
inline void RemoveDataFiles()
{
    for (const char* extension : {".ini", ".dat", ".upd"}) DeleteFileA(DataFilePath(extension).c_str());
}

inline BOOL CALLBACK CollectPluginWindow(HWND hwnd, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, kPluginWindowClass) == 0) reinterpret_cast<std::vector<HWND>*>(context)->push_back(hwnd);
    return TRUE;
}

// Every main window of the plug-in's objects, when a test has more than one.
inline std::vector<HWND> PluginWindows()
{
    std::vector<HWND> found;
    EnumWindows(CollectPluginWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The plug-in's main window in this host: the one window of its class in this process (another
// host, such as the soak, may run beside the tests on the same desktop).
inline HWND FindPluginWindow()
{
    const std::vector<HWND> found = PluginWindows();
    return found.empty() ? nullptr : found.front();
}

// The store as the plug-in hands it to its next session: the cache it writes when its
// window goes. False when no cache could be read.
inline bool LoadCacheFile(ProgrammeStore& store) { return LoadEventCache(store, DataFilePath(".dat").c_str()); }

inline const ServiceEntry* FindStored(const ProgrammeStore& store, uint16_t serviceId)
{
    for (int i = 0; i < store.serviceCount && i < kMaxServices; ++i)
        if (store.services[i] && store.services[i]->serviceId == serviceId) return store.services[i];
    return nullptr;
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveDataFiles();
        m_mismatchesAtStart = StackMismatches();
        ASSERT_TRUE(library.Load()) << "LumaraList.dll beside the test program, exporting GetIface and GetIface2";
        plugin = PluginObject(library.GetIface());
        ASSERT_NE(plugin.Raw(), nullptr);
    }

    void TearDown() override
    {
        if (plugin.Raw()) {
            for (HWND window : PluginWindows()) DestroyWindow(window);
            PumpFor(0);
            EXPECT_EQ(plugin.DeletingDestructor(1), plugin.Raw());
        }
        library.Unload();
        RemoveDataFiles();
        EXPECT_EQ(StackMismatches(), m_mismatchesAtStart) << "a call left the stack pointer moved";
    }

    // The host's usual start: an accepted SDK version, then the window.
    void Start()
    {
        ASSERT_EQ(plugin.Initialise(host.Interface(), kSdkVersion), 1u);
        ASSERT_EQ(plugin.CreatePluginWindow(windows.Parent()), 1u);
        ASSERT_TRUE(IsWindow(MainWindow()));
    }

    // The host's next session: the window already destroyed, a new object created in the
    // same process (the data files stay) and started again.
    void Restart()
    {
        ASSERT_EQ(plugin.DeletingDestructor(1), plugin.Raw());
        plugin = PluginObject(library.GetIface());
        ASSERT_NE(plugin.Raw(), nullptr);
        Start();
    }

    HWND MainWindow() { return FindPluginWindow(); }
    HWND List() { return GetDlgItem(FindPluginWindow(), kMainListId); }

    // Pumps until the window's one-second clock has ticked `ticks` times from now.
    bool PumpClockTicks(int ticks, DWORD timeoutMs)
    {
        const HWND window = MainWindow();
        int seen = 0;
        return PumpUntil([&] { return seen >= ticks; }, timeoutMs, [&](const MSG& msg) {
            if (msg.hwnd == window && msg.message == WM_TIMER && msg.wParam == kClockTimerId) ++seen;
        });
    }

    // Closes the window, which writes the cache, and reads the cache back.
    void CloseAndLoadStore(ProgrammeStore& store)
    {
        DestroyWindow(MainWindow());
        ASSERT_TRUE(LoadCacheFile(store)) << "the cache written when the window goes";
    }

    PluginLibrary library;
    FakeHost host;
    HostWindows windows;
    PluginObject plugin;

private:
    int m_mismatchesAtStart = 0;
};

// An SDT section long enough to need two packets.
inline Bytes TwoPacketSdt(uint16_t serviceId = 0x0400)
{
    return MakeSdt({.services = {{.serviceId = serviceId, .serviceName = Raw(std::string(200, 'n'))}}});
}
