#include "soak_resources.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace {

constexpr uintptr_t kHandleProbeLimit = 1u << 16;
constexpr uint64_t kGrowthBytes = 4u << 20;
constexpr unsigned long kGrowthHandles = 4, kGrowthObjects = 8;
constexpr unsigned long kRuntimeHandlesPerLoad = 2;

uint64_t CommittedPrivate()
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

unsigned long ProbedHandles()
{
    unsigned long count = 0;
    DWORD flags;
    for (uintptr_t value = 4; value < kHandleProbeLimit; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM context)
{
    ++*reinterpret_cast<unsigned long*>(context);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM context)
{
    ++*reinterpret_cast<unsigned long*>(context);
    EnumChildWindows(hwnd, CountChild, context);
    return TRUE;
}

}  // namespace

Resources SampleResources()
{
    Resources r;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        r.privateBytes = memory.PrivateUsage;
        r.workingSet = memory.WorkingSetSize;
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles)) r.handles = handles;
    r.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    r.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    r.committedPrivate = CommittedPrivate();
    r.probedHandles = ProbedHandles();
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&r.windows));
    return r;
}

std::string Describe(const Resources& r)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "committed private %.1f MB, working set %.1f MB, handles %lu (probed), windows %lu; "
                  "reported: private %.1f MB, handles %lu, GDI %lu, USER %lu",
                  r.committedPrivate / 1e6, r.workingSet / 1e6, r.probedHandles, r.windows, r.privateBytes / 1e6,
                  r.handles, r.gdi, r.user);
    return text;
}

bool Grew(const Resources& base, const Resources& now, int loads)
{
    const unsigned long runtime = kRuntimeHandlesPerLoad * static_cast<unsigned long>(loads);
    return now.committedPrivate > base.committedPrivate + kGrowthBytes ||
           now.privateBytes > base.privateBytes + kGrowthBytes || now.probedHandles > base.probedHandles + runtime + kGrowthHandles ||
           now.handles > base.handles + runtime + kGrowthHandles || now.gdi > base.gdi + kGrowthObjects ||
           now.user > base.user + kGrowthObjects || now.windows > base.windows + kGrowthObjects;
}
