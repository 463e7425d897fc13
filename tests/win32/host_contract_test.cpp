// The plug-in as a separately built host sees it: factories, slots 0, 1, 2, 3 and 5.
#include <gtest/gtest.h>

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
    EXPECT_EQ(other.View().hInstance, library.Module());
    EXPECT_EQ(other.View().host, nullptr);
    EXPECT_EQ(other.View().currentServiceId, -1);
    EXPECT_EQ(other.View().currentChannel, -1);
    EXPECT_NE(other.View().parser, nullptr);
    EXPECT_EQ(other.DeletingDestructor(1), second);
    EXPECT_EQ(library.GetIface2(0, nullptr), 1u);
}

TEST_F(HostContract, AcceptsOnlyTheFirstSdkGeneration)
{
    MessageBoxWatch watch;
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00020000), 0u);
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00000001), 0u);
    EXPECT_EQ(View().host, nullptr);
    ASSERT_EQ(watch.seen.size(), 2u);
    for (const SeenMessageBox& box : watch.seen) {
        EXPECT_EQ(box.text, "Wrong SDK Version");
        EXPECT_EQ(box.caption, "ルマーラ");
        EXPECT_TRUE(box.errorIcon);
        EXPECT_EQ(box.owner, nullptr);
    }

    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x00010000), 1u);
    EXPECT_EQ(View().host, host.Interface());
    FakeHost other;
    EXPECT_EQ(plugin.Initialise(other.Interface(), 0xFF01FFFF), 1u);  // only the third byte counts
    EXPECT_EQ(View().host, other.Interface());
    EXPECT_EQ(plugin.Initialise(host.Interface(), 0x01000000), 0u);
    EXPECT_EQ(View().host, other.Interface());  // a refusal keeps the host
    EXPECT_EQ(watch.seen.size(), 3u);
}

TEST_F(HostContract, ReservedSlotChangesNothing)
{
    Start();
    std::vector<uint8_t> before(sizeof(PluginObjectView));
    std::memcpy(before.data(), &View(), before.size());
    EXPECT_EQ(plugin.Reserved(0xFFFFFFFF, 12345), 1u);
    EXPECT_EQ(std::memcmp(before.data(), &View(), before.size()), 0);
    EXPECT_TRUE(host.Calls().empty());
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
    const HWND window = View().hWnd;
    char text[64] = {};
    GetClassNameA(window, text, sizeof(text));
    EXPECT_STREQ(text, "Moxel_LumaraList_Class");
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "ルマーラ");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), windows.Parent());
    EXPECT_EQ(View().hParent, windows.Parent());
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
    EXPECT_TRUE(IsWindow(other.View().hWnd));
    DestroyWindow(other.View().hWnd);
    other.DeletingDestructor(1);
}

TEST_F(HostContract, StreamDataTakesWholePacketsInOrder)
{
    Start();
    PluginSectionTap tap(View().parser);
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
    ASSERT_EQ(tap.sections.size(), 1u);
    EXPECT_EQ(tap.sections[0].bytes, section);

    // Out of order the section is not assembled.
    Bytes swapped(packets.begin() + 188, packets.end());
    AppendBytes(swapped, Bytes(packets.begin(), packets.begin() + 188));
    EXPECT_EQ(plugin.StreamData(swapped.data(), 376), 1u);
    EXPECT_EQ(tap.sections.size(), 1u);

    // A trailing fragment that ends at an unreadable page is not read.
    const Bytes next = Packetizer(kPidSdt, 2).Packetize(TwoPacketSdt(0x0408));
    uint8_t* block = page + 4096 - (376 + 100);
    std::memcpy(block, next.data(), 376);
    std::memset(block + 376, 0x47, 100);
    EXPECT_EQ(plugin.StreamData(block, 376 + 100), 1u);
    EXPECT_EQ(tap.sections.size(), 2u);
    VirtualFree(guard, 0, MEM_RELEASE);
}

TEST_F(HostContract, StreamCallsAfterTheWindowAreHarmless)
{
    Start();
    host.SetServices({0x0400});
    DestroyWindow(View().hWnd);
    EXPECT_EQ(View().parser, nullptr);
    const Bytes packets = Packetizer(kPidSdt).Packetize(TwoPacketSdt());
    EXPECT_EQ(plugin.StreamData(packets.data(), static_cast<uint32_t>(packets.size())), 1u);
    EXPECT_EQ(plugin.StreamChange(13, 0x0400), 1u);
    EXPECT_TRUE(host.Calls().empty());
    EXPECT_EQ(View().currentServiceId, -1);
}

}  // namespace
