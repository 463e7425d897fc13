#include "fake_host.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kParentClass[] = "LumaraTestHostWindow";
constexpr char kTrayClass[] = "Moxel_TaskTray_Class";
constexpr int kRecordingControl = 1012;
constexpr UINT kMsgRun = WM_APP + 7;
constexpr UINT kMsgRunPosted = WM_APP + 8;
constexpr int kCapacity = 20;

bool AllZero(const HostRecord* records)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(records);
    return std::all_of(bytes, bytes + sizeof(HostRecord) * kCapacity, [](uint8_t b) { return b == 0; });
}

}  // namespace

FakeHost::FakeHost()
{
    static const void* const kTable[] = {
        reinterpret_cast<const void*>(&Unused0),         reinterpret_cast<const void*>(&SelectChannel),
        reinterpret_cast<const void*>(&Unused2),         reinterpret_cast<const void*>(&ChangeServiceID),
        reinterpret_cast<const void*>(&Unused4),         reinterpret_cast<const void*>(&GetServiceList),
    };
    m_interface = {kTable, this};
}

void FakeHost::SetServices(std::vector<uint32_t> serviceIds, int result, std::optional<int32_t> count)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_serviceIds = std::move(serviceIds);
    m_result = result;
    m_count = count;
}

std::vector<HostCall> FakeHost::Calls() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_calls;
}

int FakeHost::CallsTo(int slot) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(), [&](const HostCall& c) { return c.slot == slot; }));
}

void FakeHost::Record(HostCall call)
{
    call.threadId = GetCurrentThreadId();
    std::lock_guard<std::mutex> guard(m_mutex);
    m_calls.push_back(call);
}

void FakeHost::Unused0(HostInterface* self) { self->owner->Record({.slot = 0}); }
void FakeHost::SelectChannel(HostInterface* self, int32_t channel) { self->owner->Record({.slot = 1, .argument = channel}); }
void FakeHost::Unused2(HostInterface* self) { self->owner->Record({.slot = 2}); }
void FakeHost::ChangeServiceID(HostInterface* self, int32_t serviceId)
{
    self->owner->Record({.slot = 3, .argument = serviceId});
    if (self->owner->duringChangeServiceId) self->owner->duringChangeServiceId(serviceId);
}
void FakeHost::Unused4(HostInterface* self) { self->owner->Record({.slot = 4}); }

int32_t FakeHost::GetServiceList(HostInterface* self, HostRecord* records, int32_t* count)
{
    FakeHost& host = *self->owner;
    host.Record({.slot = 5, .countIn = *count, .bufferZeroed = AllZero(records)});
    if (host.duringGetServiceList) host.duringGetServiceList();
    std::lock_guard<std::mutex> guard(host.m_mutex);
    const size_t filled = std::min<size_t>(host.m_serviceIds.size(), kCapacity);
    for (size_t i = 0; i < filled; ++i) records[i].serviceId = host.m_serviceIds[i];
    *count = host.m_count.value_or(static_cast<int32_t>(host.m_serviceIds.size()));
    return host.m_result;
}

HostWindows::HostWindows()
{
    WNDCLASSA parentClass = {};
    parentClass.lpfnWndProc = ParentProc;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.lpszClassName = kParentClass;
    RegisterClassA(&parentClass);
    m_parent = CreateWindowExA(0, kParentClass, "Test host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                               parentClass.hInstance, nullptr);
    SetWindowLongPtrA(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_recording = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 20, m_parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRecordingControl)),
                                  parentClass.hInstance, nullptr);
}

HostWindows::~HostWindows()
{
    if (m_tray) DestroyWindow(m_tray);
    if (m_parent) DestroyWindow(m_parent);
}

void HostWindows::SetRecordingText(const char* text) { SetWindowTextA(m_recording, text); }

HWND HostWindows::CreateTray()
{
    if (m_tray) return m_tray;
    WNDCLASSA trayClass = {};
    trayClass.lpfnWndProc = TrayProc;
    trayClass.hInstance = GetModuleHandleA(nullptr);
    trayClass.lpszClassName = kTrayClass;
    RegisterClassA(&trayClass);
    m_tray = CreateWindowExA(0, kTrayClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, trayClass.hInstance, nullptr);
    SetWindowLongPtrA(m_tray, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_tray;
}

void HostWindows::RunOnWindowThread(const std::function<void()>& work)
{
    SendMessageA(m_parent, kMsgRun, 0, reinterpret_cast<LPARAM>(&work));
}

void HostWindows::PostToWindowThread(std::function<void()> work)
{
    auto* posted = new std::function<void()>(std::move(work));
    if (!PostMessageA(m_parent, kMsgRunPosted, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
}

LRESULT CALLBACK HostWindows::ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgRun) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == kMsgRunPosted) {
        auto* posted = reinterpret_cast<std::function<void()>*>(lParam);
        (*posted)();
        delete posted;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK HostWindows::TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<HostWindows*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_COMMAND && self) self->m_trayCommands.push_back(LOWORD(wParam));
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

namespace {

void PumpPending(const MessageObserver& observe)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (observe) observe(msg);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

void PumpFor(DWORD milliseconds, const MessageObserver& observe)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(observe);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageObserver& observe)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(observe);
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed), QS_ALLINPUT);
    }
}

namespace {

MessageBoxWatch* g_watch = nullptr;

BOOL CALLBACK ReadMessageBoxChild(HWND child, LPARAM context)
{
    auto& seen = *reinterpret_cast<SeenMessageBox*>(context);
    char text[512] = {};
    GetWindowTextA(child, text, sizeof(text));
    if (text[0]) seen.texts.push_back(text);
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0) {
        if (style & WS_VISIBLE) seen.buttons.push_back(GetDlgCtrlID(child));
        return TRUE;
    }
    if (lstrcmpiA(className, "Static") != 0) return TRUE;
    if ((style & SS_TYPEMASK) == SS_ICON) {
        const auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        seen.errorIcon = icon && icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32513));     // IDI_ERROR
        seen.questionIcon = icon && icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32514));  // IDI_QUESTION
    } else if (text[0]) {
        seen.text = text;
    }
    return TRUE;
}

}  // namespace

MessageBoxWatch::MessageBoxWatch(int answer, std::vector<int> spared) : m_answer(answer), m_spared(std::move(spared))
{
    g_watch = this;
    m_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxWatch::~MessageBoxWatch()
{
    if (m_hook) UnhookWindowsHookEx(m_hook);
    g_watch = nullptr;
}

LRESULT CALLBACK MessageBoxWatch::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_watch) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        char className[32] = {};
        GetClassNameA(box, className, sizeof(className));
        if (std::strcmp(className, "#32770") == 0 && !g_watch->Spares(box)) {
            SeenMessageBox seen;
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof(caption));
            seen.caption = caption;
            seen.owner = GetWindow(box, GW_OWNER);
            EnumChildWindows(box, ReadMessageBoxChild, reinterpret_cast<LPARAM>(&seen));
            g_watch->seen.push_back(seen);
            PostMessageA(box, WM_COMMAND, g_watch->m_answer, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool MessageBoxWatch::Spares(HWND dialog) const
{
    return std::any_of(m_spared.begin(), m_spared.end(), [&](int id) { return GetDlgItem(dialog, id) != nullptr; });
}
