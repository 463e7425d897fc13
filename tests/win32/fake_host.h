// The host side the plug-in talks to: a fake IDTVHost (stdcall slots 0-5) that records
// every call and answers GetServiceList from a configurable list, and the host's windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The host's service record: 1116 bytes, the service id at offset 64.
struct HostRecord {
    uint8_t head[64];
    uint32_t serviceId;
    uint8_t tail[1048];
};
static_assert(sizeof(HostRecord) == 1116);

struct HostCall {
    int slot = 0;
    int32_t argument = 0;  // SelectChannel / ChangeServiceID
    DWORD threadId = 0;
    int32_t countIn = 0;       // GetServiceList: the count the plug-in passed
    bool bufferZeroed = false;  // GetServiceList: all 20 records were zero on entry
};

class FakeHost {
public:
    FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    void* Interface() { return &m_interface; }

    // GetServiceList answers with these service ids; `count` overrides the reported count.
    void SetServices(std::vector<uint32_t> serviceIds, int result = 1, std::optional<int32_t> count = {});
    // Runs inside GetServiceList, on the calling thread, before the list is written.
    std::function<void()> duringGetServiceList;
    // Runs inside ChangeServiceID, after the call is recorded: a host answering at once.
    std::function<void(int32_t serviceId)> duringChangeServiceId;

    std::vector<HostCall> Calls() const;
    int CallsTo(int slot) const;

private:
    struct HostInterface {
        const void* const* vtable;
        FakeHost* owner;
    };
    static void __stdcall Unused0(HostInterface* self);
    static void __stdcall SelectChannel(HostInterface* self, int32_t channel);
    static void __stdcall Unused2(HostInterface* self);
    static void __stdcall ChangeServiceID(HostInterface* self, int32_t serviceId);
    static void __stdcall Unused4(HostInterface* self);
    static int32_t __stdcall GetServiceList(HostInterface* self, HostRecord* records, int32_t* count);
    void Record(HostCall call);

    HostInterface m_interface;
    mutable std::mutex m_mutex;
    std::vector<HostCall> m_calls;
    std::vector<uint32_t> m_serviceIds;
    int m_result = 1;
    std::optional<int32_t> m_count;
};

// The host's main window with its recording indicator (control 1012), and on request the
// tray window that receives the plug-in's close notification.
class HostWindows {
public:
    HostWindows();
    ~HostWindows();
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

    HWND Parent() const { return m_parent; }
    void SetRecordingText(const char* text);  // "Recording", "録画中" or ""
    HWND CreateTray();
    std::vector<WORD> TrayCommands() const { return m_trayCommands; }

    // Runs `work` on this (the window's) thread; callable from any thread. Blocks until done.
    void RunOnWindowThread(const std::function<void()>& work);
    // Queues `work` for this thread's message loop and returns at once.
    void PostToWindowThread(std::function<void()> work);

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_parent = nullptr;
    HWND m_recording = nullptr;
    HWND m_tray = nullptr;
    std::vector<WORD> m_trayCommands;
};

// Message pumping for the window's thread. `observe` sees each message before dispatch.
using MessageObserver = std::function<void(const MSG&)>;
void PumpFor(DWORD milliseconds, const MessageObserver& observe = {});
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageObserver& observe = {});

// Message boxes raised on this thread while the watch lives: recorded, then answered.
struct SeenMessageBox {
    std::string text;
    std::string caption;
    std::vector<std::string> texts;  // every child's non-empty text, in creation order
    bool errorIcon = false;
    bool questionIcon = false;
    std::vector<int> buttons;  // ids of the buttons the box shows, in creation order
    HWND owner = nullptr;
};

class MessageBoxWatch {
public:
    // Each box is ended as if its button `answer` had been pressed. A dialog holding one of
    // `spared` controls is none of the watch's business and is left alone.
    explicit MessageBoxWatch(int answer = IDOK, std::vector<int> spared = {});
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;
    std::vector<SeenMessageBox> seen;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    bool Spares(HWND dialog) const;
    HHOOK m_hook = nullptr;
    int m_answer;
    std::vector<int> m_spared;
};
