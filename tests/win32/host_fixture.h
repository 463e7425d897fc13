// A test host with the plug-in loaded fresh for every test (the module-wide state starts
// over), a fake host interface and the host's windows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin_abi.h"
#include "support/packetizer.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

constexpr uint32_t kSdkVersion = 0x00010000;
constexpr int kSlotGetServiceList = 5;
constexpr UINT_PTR kTuneTimerId = 1002;

struct TappedSection {
    int pid = 0;
    Bytes bytes;
    bool operator==(const TappedSection&) const = default;
};

// Sees every complete section the plug-in's parser hands to its table handlers, through
// the parser's section tap (the parser is the core's StreamParser, which the host links
// as well). Called on the thread that feeds the plug-in, under the plug-in's lock.
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
    void Detach() { m_parser = nullptr; }

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

// The plug-in's main window as the host's desktop has it: the one window of its class.
inline HWND FindPluginWindow() { return FindWindowA("Moxel_LumaraList_Class", nullptr); }

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
            if (IsWindow(plugin.View().hWnd)) DestroyWindow(plugin.View().hWnd);
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
        ASSERT_TRUE(IsWindow(plugin.View().hWnd));
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

    PluginObjectView& View() { return plugin.View(); }

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
