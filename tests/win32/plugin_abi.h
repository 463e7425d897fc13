// The host's own view of the plug-in library, as a separately built host has it: the two
// factories resolved by name and the six slots of the object's interface table, called as
// raw function pointers with the stated conventions. Every call checks that the stack
// pointer is where it was before the arguments were pushed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Stack-pointer mismatches seen across all calls, from any thread.
int StackMismatches();

class PluginLibrary {
public:
    ~PluginLibrary() { Unload(); }
    bool Load();  // "LumaraList.dll" beside the test program
    void Unload();
    HMODULE Module() const { return m_module; }

    void* GetIface();                                  // cdecl, no arguments
    uint32_t GetIface2(uint32_t first, void** object);  // stdcall, two arguments

private:
    HMODULE m_module = nullptr;
    const void* m_getIface = nullptr;
    const void* m_getIface2 = nullptr;
};

class PluginObject {
public:
    PluginObject() = default;
    explicit PluginObject(void* object) : m_object(object) {}
    void* Raw() const { return m_object; }

    void* DeletingDestructor(uint32_t flags);  // slot 0, thiscall
    uint32_t Initialise(void* host, uint32_t sdkVersion);
    uint32_t CreatePluginWindow(HWND parent);
    uint32_t StreamData(const void* data, uint32_t size);
    uint32_t StreamChange(int32_t channel, int32_t serviceId);
    uint32_t Reserved(uint32_t first, uint32_t second);

private:
    uint32_t Call(int slot, const uint32_t* args, int argc);
    // The interface table, the one word of the object a host reads.
    const void* Slot(int slot) const { return (*static_cast<const void* const* const*>(m_object))[slot]; }
    void* m_object = nullptr;
};
