#include "plugin_abi.h"

#if defined(__i386__)
#include <atomic>

namespace {

std::atomic<int> g_stackMismatches{0};

}  // namespace

// Calls `function` with `argc` 32-bit stack arguments (args[0] pushed last) and ECX set to
// `thisArgument`, then restores the stack pointer and stores how far the call moved it:
// 0 when the callee removed exactly the arguments (stdcall, thiscall, or cdecl without any).
extern "C" uint32_t HostRawCall(const void* function, uint32_t thisArgument, const uint32_t* args, int argc,
                                int32_t* stackDelta);
asm(R"(
    .text
    .globl _HostRawCall
    .def _HostRawCall; .scl 2; .type 32; .endef
_HostRawCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %esi
    movl 16(%ebp), %edx
    movl 20(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    pushl -4(%edx,%ecx,4)
    decl %ecx
    jmp 1b
2:  movl 12(%ebp), %ecx
    call *8(%ebp)
    movl %esp, %edx
    subl %esi, %edx
    movl %esi, %esp
    movl 24(%ebp), %ecx
    movl %edx, (%ecx)
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {

uint32_t CheckedCall(const void* function, uint32_t thisArgument, const uint32_t* args, int argc)
{
    int32_t delta = 0;
    const uint32_t result = HostRawCall(function, thisArgument, args, argc, &delta);
    if (delta != 0) ++g_stackMismatches;
    return result;
}

uint32_t Word(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

}  // namespace

int StackMismatches() { return g_stackMismatches.load(); }
#else
// The x86_64 stand-in (where i686 programs cannot start) exercises the library's Windows glue,
// not its calling conventions: x86_64 has only one, so the slots are plain calls, there is no
// stack to balance, and the stack and convention checks hold only for the real i686 library.
int StackMismatches() { return 0; }
#endif

bool PluginLibrary::Load()
{
    m_module = LoadLibraryA("LumaraList.dll");
    if (!m_module) return false;
    m_getIface = reinterpret_cast<const void*>(GetProcAddress(m_module, "GetIface"));
    m_getIface2 = reinterpret_cast<const void*>(GetProcAddress(m_module, "GetIface2"));
    return m_getIface && m_getIface2;
}

void PluginLibrary::Unload()
{
    if (m_module) FreeLibrary(m_module);
    m_module = nullptr;
}

#if defined(__i386__)
void* PluginLibrary::GetIface()
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(CheckedCall(m_getIface, 0, nullptr, 0)));
}

uint32_t PluginLibrary::GetIface2(uint32_t first, void** object)
{
    const uint32_t args[] = {first, Word(object)};
    return CheckedCall(m_getIface2, 0, args, 2);
}

uint32_t PluginObject::Call(int slot, const uint32_t* args, int argc)
{
    const void* function = Slot(slot);
    return CheckedCall(function, 0, args, argc);
}

void* PluginObject::DeletingDestructor(uint32_t flags)
{
    const void* function = Slot(0);
    const uint32_t result = CheckedCall(function, Word(m_object), &flags, 1);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(result));
}

uint32_t PluginObject::Initialise(void* host, uint32_t sdkVersion)
{
    const uint32_t args[] = {Word(m_object), Word(host), sdkVersion};
    return Call(1, args, 3);
}

uint32_t PluginObject::CreatePluginWindow(HWND parent)
{
    const uint32_t args[] = {Word(m_object), Word(parent)};
    return Call(2, args, 2);
}

uint32_t PluginObject::StreamData(const void* data, uint32_t size)
{
    const uint32_t args[] = {Word(m_object), Word(data), size};
    return Call(3, args, 3);
}

uint32_t PluginObject::StreamChange(int32_t channel, int32_t serviceId)
{
    const uint32_t args[] = {Word(m_object), static_cast<uint32_t>(channel), static_cast<uint32_t>(serviceId)};
    return Call(4, args, 3);
}

uint32_t PluginObject::Reserved(uint32_t first, uint32_t second)
{
    const uint32_t args[] = {Word(m_object), first, second};
    return Call(5, args, 3);
}
#else
void* PluginLibrary::GetIface() { return reinterpret_cast<void* (*)()>(m_getIface)(); }

uint32_t PluginLibrary::GetIface2(uint32_t first, void** object)
{
    return reinterpret_cast<uint32_t (*)(uint32_t, void**)>(m_getIface2)(first, object);
}

void* PluginObject::DeletingDestructor(uint32_t flags)
{
    return reinterpret_cast<void* (*)(void*, uint32_t)>(Slot(0))(m_object, flags);
}

uint32_t PluginObject::Initialise(void* host, uint32_t sdkVersion)
{
    return reinterpret_cast<uint32_t (*)(void*, void*, uint32_t)>(Slot(1))(m_object, host, sdkVersion);
}

uint32_t PluginObject::CreatePluginWindow(HWND parent)
{
    return reinterpret_cast<uint32_t (*)(void*, HWND)>(Slot(2))(m_object, parent);
}

uint32_t PluginObject::StreamData(const void* data, uint32_t size)
{
    return reinterpret_cast<uint32_t (*)(void*, const void*, uint32_t)>(Slot(3))(m_object, data, size);
}

uint32_t PluginObject::StreamChange(int32_t channel, int32_t serviceId)
{
    return reinterpret_cast<uint32_t (*)(void*, int32_t, int32_t)>(Slot(4))(m_object, channel, serviceId);
}

uint32_t PluginObject::Reserved(uint32_t first, uint32_t second)
{
    return reinterpret_cast<uint32_t (*)(void*, uint32_t, uint32_t)>(Slot(5))(m_object, first, second);
}
#endif
