#include "host_watchers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kPingIntervalMs = 250;
constexpr DWORD kRepostMs = 500;  // a cancel that went unanswered is sent again

struct ModalSearch {
    HWND owner;
    std::vector<HWND>* modeless;
    HWND dialog = nullptr;
    bool menu = false;
};

bool HasClass(HWND hwnd, const char* name)
{
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    return std::strcmp(className, name) == 0;
}

BOOL CALLBACK MatchModal(HWND hwnd, LPARAM context)
{
    auto& search = *reinterpret_cast<ModalSearch*>(context);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (HasClass(hwnd, "#32768")) search.menu = true;
    if (!HasClass(hwnd, "#32770") || GetWindow(hwnd, GW_OWNER) != search.owner) return TRUE;
    // A modal dialog disables its owner, and is not one of the modeless companions.
    const auto& modeless = *search.modeless;
    if (!IsWindowEnabled(search.owner) && std::find(modeless.begin(), modeless.end(), hwnd) == modeless.end())
        search.dialog = hwnd;
    return TRUE;
}

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM context)
{
    auto& search = *reinterpret_cast<ModalSearch*>(context);
    if (GetWindow(hwnd, GW_OWNER) == search.owner) search.modeless->push_back(hwnd);
    return TRUE;
}

}  // namespace

ModalCloser::ModalCloser(HWND mainWindow, DWORD holdMs)
    : m_main(mainWindow), m_thread(GetWindowThreadProcessId(mainWindow, nullptr)), m_holdMs(holdMs)
{
    ModalSearch search{m_main, &m_modeless};
    EnumThreadWindows(m_thread, CollectOwned, reinterpret_cast<LPARAM>(&search));
    m_worker = std::thread([this] { Run(); });
}

void ModalCloser::Stop()
{
    m_stop = true;
    if (m_worker.joinable()) m_worker.join();
}

void ModalCloser::Run()
{
    DWORD menuCancelledAt = 0;
    while (!m_stop) {
        Sleep(kPollMs);
        ModalSearch search{m_main, &m_modeless};
        EnumThreadWindows(m_thread, MatchModal, reinterpret_cast<LPARAM>(&search));
        if (search.menu && GetTickCount() - menuCancelledAt >= kRepostMs) {
            // The menu's modal loop ends on WM_CANCELMODE to its owner, as EndMenu does it.
            PostMessageA(m_main, WM_CANCELMODE, 0, 0);
            menuCancelledAt = GetTickCount();
            ++m_menusClosed;
        }
        CloseDialog(search.dialog);
    }
}

// Held open for a while first, so the ticks and the feed run under the modal loop.
void ModalCloser::CloseDialog(HWND dialog)
{
    const DWORD now = GetTickCount();
    if (dialog != m_seen) {
        m_seen = dialog;
        m_seenAt = now;
        m_cancelledAt = 0;
        return;
    }
    if (!dialog || now - m_seenAt < m_holdMs) return;
    if (m_cancelledAt && now - m_cancelledAt < kRepostMs) return;
    if (!m_cancelledAt) ++m_dialogsClosed;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    m_cancelledAt = now;
}

Watchdog::Watchdog(HWND window, DWORD timeoutMs, std::function<std::string()> describe)
    : m_window(window),
      m_timeoutMs(timeoutMs),
      m_describe(std::move(describe)),
      m_stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_doneEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_worker = std::thread([this] { Run(); });
}

// The worker may be waiting for this very thread to answer, so the wait answers what is
// sent to it meanwhile.
void Watchdog::Stop()
{
    if (!m_worker.joinable()) return;
    SetEvent(m_stopEvent);
    while (MsgWaitForMultipleObjects(1, &m_doneEvent, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_worker.join();
    CloseHandle(m_stopEvent);
    CloseHandle(m_doneEvent);
}

void Watchdog::Run()
{
    Ping();
    SetEvent(m_doneEvent);
}

void Watchdog::Ping()
{
    while (WaitForSingleObject(m_stopEvent, kPingIntervalMs) == WAIT_TIMEOUT) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_NORMAL, m_timeoutMs, &result)) {
            if (!IsWindow(m_window)) return;
            std::printf("watchdog: the window's thread did not answer within %lu ms: deadlock (%s)\n",
                        static_cast<unsigned long>(m_timeoutMs), m_describe ? m_describe().c_str() : "");
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        const DWORD waited = GetTickCount() - start;
        if (waited > m_longestMs) m_longestMs = waited;
        ++m_answers;
    }
}
