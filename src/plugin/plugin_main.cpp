// The library's entry point and the two factories the host resolves by name (exported
// undecorated through LumaraList.def).
#include <windows.h>

#include <cstdint>
#include <new>

#include "plugin/event_view.h"
#include "store/win32/file_replace_win32.h"
#include "ts/diagnostics.h"

namespace {

HINSTANCE g_hInstance = nullptr;

void WriteDebugOutput(const char* text) { OutputDebugStringA(text); }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    g_hInstance = instance;
    if (reason == DLL_PROCESS_ATTACH) {
        SetDebugSink(WriteDebugOutput);
        // Data-file saves replace the old file in one step from the first save on.
        InstallWin32FileReplacer();
    }
    return TRUE;
}

extern "C" IDTVPlugin* GetIface() { return new (std::nothrow) CEventView(g_hInstance); }

extern "C" int __stdcall GetIface2(uint32_t, IDTVPlugin** plugin)
{
    if (plugin) *plugin = GetIface();
    return 1;
}
