#include "plugin_abi.h"

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
