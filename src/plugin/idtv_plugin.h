// The interface the host calls, slot by slot, through the object's virtual table.
// The host expects slot 0 to be one MSVC-style scalar deleting destructor (thiscall, one
// flags argument). A C++ virtual destructor would fill two slots with GCC, so slot 0 is an
// ordinary virtual function here and the destructor is not virtual. Slots 1 to 5 are
// stdcall: the object pointer travels on the stack as the first argument.
#pragma once

#include <windows.h>

#include <cstdint>

class IDTVHost;

constexpr uint32_t kDeleteMemory = 1;  // slot 0 flag: free the object's memory

class IDTVPlugin {
public:
    // Slot 0: destroys the object, freeing its memory when the flags ask for it; returns it.
    virtual IDTVPlugin* __attribute__((thiscall)) DeletingDestructor(uint32_t flags) = 0;
    // Slot 1: 1 when the SDK version is accepted and the host stored, else 0.
    virtual int __stdcall Initialise(IDTVHost* host, uint32_t sdkVersion) = 0;
    // Slot 2: creates the main window owned by the parent; 1.
    virtual int __stdcall CreatePluginWindow(HWND parent) = 0;
    // Slot 3: a block of whole 188-byte transport-stream packets; 1.
    virtual int __stdcall TakeStreamData(const uint8_t* data, uint32_t size) = 0;
    // Slot 4: the stream is now on this channel and service; 1.
    virtual int __stdcall ChangeStream(int channel, int serviceId) = 0;
    // Slot 5: reserved; 1.
    virtual int __stdcall Reserved(uint32_t first, uint32_t second) = 0;

protected:
    ~IDTVPlugin() = default;
};
