// The plug-in's re-entrant lock: one per instance, taken by every host entry,
// editor action and block, and again by the engine's own entry points.
#pragma once

#include <mutex>

class ILock {
public:
    // [any thread] Waits while another thread holds it; the holding thread may enter again.
    void Enter() { mMutex.lock(); }
    void Leave() { mMutex.unlock(); }

private:
    std::recursive_mutex mMutex;
};

// [any thread] Holds a lock for the rest of a scope.
class ILockGuard {
public:
    explicit ILockGuard(ILock& lock) : mLock(lock) { mLock.Enter(); }
    ~ILockGuard() { mLock.Leave(); }
    ILockGuard(const ILockGuard&) = delete;
    ILockGuard& operator=(const ILockGuard&) = delete;

private:
    ILock& mLock;
};
