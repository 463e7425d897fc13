// Threads beside the window's thread: one plays the user who closes whatever modal window
// the window's thread is held in (a dialog, a context menu), the other the supervisor who
// ends the process when the window's thread stops answering.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Cancels, after holding it open for a while, every modal dialog owned by the main window
// (class "#32770", the owner disabled, not one of the modeless windows the main window
// already owned when the closer started) and ends every context menu of the window's
// thread. Modal windows block the window's thread, so they can only be closed from another.
class ModalCloser {
public:
    ModalCloser(HWND mainWindow, DWORD holdMs);
    ~ModalCloser() { Stop(); }
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;

    void Stop();
    int DialogsClosed() const { return m_dialogsClosed; }
    int MenusClosed() const { return m_menusClosed; }

private:
    void Run();
    void CloseDialog(HWND dialog);

    HWND m_main;
    DWORD m_thread;
    DWORD m_holdMs;
    std::vector<HWND> m_modeless;
    HWND m_seen = nullptr;  // worker thread only
    DWORD m_seenAt = 0;
    DWORD m_cancelledAt = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_dialogsClosed{0};
    std::atomic<int> m_menusClosed{0};
    std::thread m_worker;
};

// Sends WM_NULL to the window every few hundred milliseconds; a window thread that does not
// answer within the timeout is deadlocked, and a deadlocked plug-in cannot be torn down, so
// the process ends with the failure.
class Watchdog {
public:
    // `describe` tells what the window's thread was last asked to do.
    Watchdog(HWND window, DWORD timeoutMs, std::function<std::string()> describe = {});
    ~Watchdog() { Stop(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Stop();
    int Answers() const { return m_answers; }
    DWORD LongestWaitMs() const { return m_longestMs; }

private:
    void Run();
    void Ping();

    HWND m_window;
    DWORD m_timeoutMs;
    std::function<std::string()> m_describe;
    HANDLE m_stopEvent;
    HANDLE m_doneEvent;
    std::atomic<int> m_answers{0};
    std::atomic<DWORD> m_longestMs{0};
    std::thread m_worker;
};
