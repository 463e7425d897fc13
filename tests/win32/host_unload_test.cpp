// A host that unloads the plug-in and loads it again in the same process, on the same
// thread, gets back the kernel handles the plug-in used: the lock of each object, and no
// thread-local storage ties handles to the host's threads. The statically linked threads
// runtime itself keeps two (an event and a thread handle) per load, as any C++ library built
// this way does; those are allowed for.
#include <gtest/gtest.h>

#include "dialogs_probe.h"

namespace {

constexpr int kCycles = 3;
constexpr uintptr_t kHandleProbeLimit = 1u << 16;
constexpr DWORD kFirstRowsMs = 5000;
constexpr int kRuntimeHandlesPerLoad = 2;

// Kernel handles of the process, counted by probing the handle table (Wine reports no count).
int KernelHandles()
{
    int count = 0;
    DWORD flags;
    for (uintptr_t value = 4; value < kHandleProbeLimit; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    return count;
}

// One run of the viewer: the window shows a programme read from a schedule section (the
// event times are converted on this thread), then the viewer closes and unloads the library.
void RunViewerOnce(HostWindows& windows)
{
    FakeHost host;
    PluginLibrary library;
    ASSERT_TRUE(library.Load());
    PluginObject plugin(library.GetIface());
    ASSERT_EQ(plugin.Initialise(host.Interface(), kSdkVersion), 1u);
    ASSERT_EQ(plugin.CreatePluginWindow(windows.Parent()), 1u);
    const time_t now = std::time(nullptr);
    Bytes stream = MakeTotPacket(LocalBroadcastTime(now));
    EitSection eit{.tableId = 0x50, .serviceId = 0x0400};
    eit.events.push_back({.eventId = 1, .start = LocalBroadcastTime(now - 600), .durationSeconds = 3600,
                          .descriptors = ShortEventDescriptor(Raw("News"), {})});
    AppendBytes(stream, Packetizer(kPidEit).Packetize(MakeEit(eit)));
    plugin.StreamData(stream.data(), static_cast<uint32_t>(stream.size()));
    const HWND main = FindPluginWindow();
    EXPECT_TRUE(PumpUntil([&] { return ItemCount(GetDlgItem(main, kMainListId)) == 1; }, kFirstRowsMs));
    DestroyWindow(main);
    PumpFor(0);
    plugin.DeletingDestructor(1);
    library.Unload();
}

TEST(HostUnload, ReloadingThePluginLeavesNoKernelHandlesBehind)
{
    RemoveDataFiles();
    HostWindows windows;
    RunViewerOnce(windows);  // the system's own first-use handles
    const int before = KernelHandles();
    for (int i = 0; i < kCycles; ++i) RunViewerOnce(windows);
    EXPECT_LE(KernelHandles(), before + kCycles * kRuntimeHandlesPerLoad) << "after " << kCycles << " runs of the viewer";
    RemoveDataFiles();
}

}  // namespace
