// The process's resources as the soak samples them. Wine reports neither private usage, nor
// the handle count, nor GDI and USER object counts (all read 0 there), so beside the system's
// own figures the soak counts for itself: committed private memory by walking the address
// space, kernel handles by probing the handle table, and the windows of the thread.
#pragma once

#include <cstdint>
#include <string>

struct Resources {
    uint64_t privateBytes = 0, workingSet = 0;         // GetProcessMemoryInfo
    unsigned long handles = 0, gdi = 0, user = 0;      // GetProcessHandleCount, GetGuiResources
    uint64_t committedPrivate = 0;                     // VirtualQuery: MEM_PRIVATE and MEM_COMMIT
    unsigned long probedHandles = 0, windows = 0;      // GetHandleInformation, EnumThreadWindows
};

Resources SampleResources();
std::string Describe(const Resources& r);
// Whether `now` grew beyond small allowances over `base`, `loads` loads of the library later:
// the statically linked threads runtime keeps two kernel handles per load.
bool Grew(const Resources& base, const Resources& now, int loads);
