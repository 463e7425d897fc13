// The plug-in as a separately built host sees it: factories, slots 0, 1, 2, 3 and 5.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

#include "host_fixture.h"

namespace {

using HostContract = PluginHost;

TEST_F(HostContract, FactoriesMakeIndependentObjects)
{
    void* second = nullptr;
    EXPECT_EQ(library.GetIface2(0xDEADBEEF, &second), 1u);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, plugin.Raw());
    PluginObject other(second);
    // Without a host a stream change asks nobody; the service 0 stops at the host's list.
    EXPECT_EQ(other.StreamChange(13, 0), 1u);
    FakeHost otherHost;
    ASSERT_EQ(other.Initialise(otherHost.Interface(), kSdkVersion), 1u);
    EXPECT_EQ(other.StreamChange(13, 0), 1u);
    EXPECT_EQ(otherHost.CallsTo(kSlotGetServiceList), 1) << "a parser from the start";
    ASSERT_EQ(other.CreatePluginWindow(windows.Parent()), 1u);
    const HWND window = FindPluginWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), library.Module());
    EXPECT_EQ(SendMessageA(GetDlgItem(window, kMainListId), LVM_GETITEMCOUNT, 0, 0), 0);
    DestroyWindow(window);
    EXPECT_TRUE(host.Calls().empty()) << "the first object's host saw nothing";
    EXPECT_EQ(other.DeletingDestructor(1), second);
    EXPECT_EQ(library.GetIface2(0, nullptr), 1u);
}

// Which host an object calls: service 0 asks for the list and stops there, changing nothing.
int ListRequests(PluginObject& plugin, const FakeHost& host)
{
    const int before = host.CallsTo(kSlotGetServiceList);
    plugin.StreamChange(13, 0);
    return host.CallsTo(kSlotGetServiceList) - before;
}

TEST_F(HostContract, AcceptsOnlyTheFirstSdkGeneration)
{
    MessageBoxWatch watch;
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00020000), 0u);
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00000001), 0u);
    EXPECT_EQ(ListRequests(plugin, host), 0) << "no host kept";
    ASSERT_EQ(watch.seen.size(), 2u);
    for (const SeenMessageBox& box : watch.seen) {
        EXPECT_EQ(box.text, "Wrong SDK Version");
        EXPECT_EQ(box.caption, "ルマーラ");
        EXPECT_TRUE(box.errorIcon);
        EXPECT_EQ(box.owner, nullptr);
    }

    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00010000), 1u);
    EXPECT_EQ(ListRequests(plugin, host), 1);
    FakeHost other;
    EXPECT_EQ(plugin.Initialise(other.Interface(), 0xFF01FFFF), 1u);  // only the third byte counts
    EXPECT_EQ(ListRequests(plugin, other), 1);
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x01000000), 0u);
    EXPECT_EQ(ListRequests(plugin, other), 1) << "a refusal keeps the host";
    EXPECT_EQ(host.CallsTo(kSlotGetServiceList), 1);
    EXPECT_EQ(watch.seen.size(), 3u);
}

TEST_F(HostContract, ReservedSlotChangesNothing)
{
    Start();
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    plugin.StreamData(packets.data(), 188);  // half a section waits in its buffer
    const HWND window = MainWindow();
    RECT before = {};
    GetWindowRect(window, &before);
    EXPECT_EQ(plugin.Reserved(0xFFFFFFFF, 12345), 1u);
    EXPECT_TRUE(host.Calls().empty());
    RECT after = {};
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(MainWindow(), window);
    plugin.StreamData(packets.data() + 188, 188);
    EXPECT_EQ(ListRequests(plugin, host), 1) << "the host kept";
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    EXPECT_EQ(stored.serviceCount, 1) << "the waiting half kept";
}

// Reads a DLGTEMPLATEEX: fixed header, then menu, class and title as UTF-16 strings, then
// the font, from the plug-in's own resources.
struct DialogTemplate {
    DWORD style = 0;
    WORD controls = 0;
    short cx = 0, cy = 0;
    std::u16string className, title, fontFace;
    WORD pointSize = 0;
};

std::u16string ReadString(const char16_t*& at)
{
    std::u16string text;
    while (*at) text += *at++;
    ++at;
    return text;
}

DialogTemplate ReadDialogTemplate(HMODULE module, int id)
{
    DialogTemplate result;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return result;
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    auto word = [&](size_t at) { return static_cast<WORD>(bytes[at] | bytes[at + 1] << 8); };
    if (word(2) != 0xFFFF) return result;  // not the extended form
    result.style = word(12) | static_cast<DWORD>(word(14)) << 16;
    result.controls = word(16);
    result.cx = static_cast<short>(word(22));
    result.cy = static_cast<short>(word(24));
    const char16_t* at = reinterpret_cast<const char16_t*>(bytes + 26);
    if (*at == 0xFFFF) at += 2; else ReadString(at);  // menu
    result.className = ReadString(at);
    result.title = ReadString(at);
    result.pointSize = static_cast<WORD>(*at);
    at += 3;  // point size, weight, italic and charset
    result.fontFace = ReadString(at);
    return result;
}

TEST_F(HostContract, MainWindowIsDialog101)
{
    const DialogTemplate dialog = ReadDialogTemplate(library.Module(), 101);
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                        DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
    EXPECT_EQ(dialog.style, style);
    EXPECT_EQ(dialog.controls, 0);
    EXPECT_EQ(dialog.cx, 490);
    EXPECT_EQ(dialog.cy, 311);
    EXPECT_EQ(lstrcmpiW(reinterpret_cast<const wchar_t*>(dialog.className.c_str()), L"Moxel_LumaraList_Class"), 0);
    EXPECT_EQ(dialog.title, u"ルマーラ");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.fontFace, u"MS Shell Dlg");
    EXPECT_NE(FindResourceA(library.Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr);  // RT_VERSION

    // An empty saved geometry key stops the geometry chain: the window keeps its template size.
    WritePrivateProfileStringA("LumaraList", "WindowCY", "", DataFilePath(".ini").c_str());
    Start();
    const HWND window = MainWindow();
    char text[64] = {};
    GetClassNameA(window, text, sizeof(text));
    EXPECT_STREQ(text, "Moxel_LumaraList_Class");
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "ルマーラ");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), windows.Parent());
    RECT expected = {0, 0, 490, 311};
    MapDialogRect(window, &expected);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);

    // A second object's window finds the class registered already.
    void* second = library.GetIface();
    PluginObject other(second);
    EXPECT_EQ(other.CreatePluginWindow(windows.Parent()), 1u);
    const std::vector<HWND> both = PluginWindows();
    ASSERT_EQ(both.size(), 2u);
    const HWND secondWindow = both[0] == window ? both[1] : both[0];
    EXPECT_NE(secondWindow, window);
    DestroyWindow(secondWindow);
    other.DeletingDestructor(1);
}

TEST_F(HostContract, StreamDataTakesWholePacketsInOrder)
{
    Start();
    const Bytes section = TwoPacketSdt();
    const Bytes packets = Packetizer(kPidSdt).Packetize(section);
    ASSERT_EQ(packets.size(), 376u);

    // Nothing is read from a block of 0 bytes, even behind an unreadable address.
    void* guard = VirtualAlloc(nullptr, 2 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(guard, nullptr);
    DWORD old = 0;
    auto* page = static_cast<uint8_t*>(guard);
    VirtualProtect(page + 4096, 4096, PAGE_NOACCESS, &old);
    EXPECT_EQ(plugin.StreamData(page + 4096, 0), 1u);

    EXPECT_EQ(plugin.StreamData(packets.data(), 376), 1u);

    // Out of order the section is not assembled.
    const Bytes other = Packetizer(kPidSdt, 2).Packetize(TwoPacketSdt(0x0410));
    Bytes swapped(other.begin() + 188, other.end());
    AppendBytes(swapped, Bytes(other.begin(), other.begin() + 188));
    EXPECT_EQ(plugin.StreamData(swapped.data(), 376), 1u);

    // A trailing fragment that ends at an unreadable page is not read.
    const Bytes next = Packetizer(kPidSdt, 4).Packetize(TwoPacketSdt(0x0408));
    uint8_t* block = page + 4096 - (376 + 100);
    std::memcpy(block, next.data(), 376);
    std::memset(block + 376, 0x47, 100);
    EXPECT_EQ(plugin.StreamData(block, 376 + 100), 1u);
    VirtualFree(guard, 0, MEM_RELEASE);

    // What the handlers made of the sections: the named services, and only those.
    ProgrammeStore stored;
    CloseAndLoadStore(stored);
    ASSERT_EQ(stored.serviceCount, 2);
    EXPECT_EQ(stored.services[0]->serviceId, 0x0400);
    EXPECT_EQ(stored.services[1]->serviceId, 0x0408);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.services[i]->serviceName),
                              stored.services[i]->serviceNameLength),
                  std::string(stored.services[i]->serviceNameLength, 'n'));
}

TEST_F(HostContract, StreamCallsAfterTheWindowAreHarmless)
{
    Start();
    host.SetServices({0x0400});
    DestroyWindow(MainWindow());
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    EXPECT_EQ(plugin.StreamData(packets.data(), static_cast<uint32_t>(packets.size())), 1u);
    EXPECT_EQ(plugin.StreamChange(13, 0x0400), 1u);
    EXPECT_EQ(plugin.StreamChange(13, 0), 1u);
    EXPECT_TRUE(host.Calls().empty()) << "the parser went with the window";
    EXPECT_EQ(plugin.DeletingDestructor(1), plugin.Raw());
    plugin = PluginObject();
    ProgrammeStore stored;
    ASSERT_TRUE(LoadCacheFile(stored));
    EXPECT_EQ(stored.serviceCount, 0) << "nothing taken after the window";
}

}  // namespace
