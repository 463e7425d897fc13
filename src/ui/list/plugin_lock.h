// The one lock of the plug-in object. The host feeds stream data and stream changes on its
// capture thread while the window's thread reads the same parser and store, so the parser,
// the store and the tuning fields are only touched with this lock held. Never hold it while
// calling the host or sending a message to another thread: either may wait for the thread
// that wants the lock.
#pragma once

#include <mutex>

class PluginLock {
public:
    void Lock() noexcept { m_mutex.lock(); }
    void Unlock() noexcept { m_mutex.unlock(); }
    bool TryLock() noexcept { return m_mutex.try_lock(); }

private:
    std::mutex m_mutex;
};

class PluginLockGuard {
public:
    explicit PluginLockGuard(PluginLock& lock) noexcept : m_lock(lock) { m_lock.Lock(); }
    ~PluginLockGuard() { m_lock.Unlock(); }
    PluginLockGuard(const PluginLockGuard&) = delete;
    PluginLockGuard& operator=(const PluginLockGuard&) = delete;

private:
    PluginLock& m_lock;
};
