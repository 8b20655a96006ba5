#pragma once
// The engine's lock order, outermost first. A thread may take a ranked lock
// only while every other ranked lock it holds ranks lower; taking them the
// other way round somewhere else is how two threads deadlock. Debug builds
// check every ranked CCriticalSection against this order.
#include <functional>

enum class LockRank : int {
    kNone = 0,  // not checked
    kOpenFileList = 30,
    kTaskMgr = 40,
    kTaskCluster = 50,
    kStatus = 60,
    kStorageTransaction = 70,
    kStorageMethod = 80,
    kDatabase = 90,
};

// Called with the rank held and the rank being taken when the order is
// broken. The default writes both to stderr and aborts.
using LockOrderViolationHandler = std::function<void(LockRank held, LockRank taken)>;
void SetLockOrderViolationHandler(LockOrderViolationHandler handler);

// Before and after a ranked lock is taken, and when it is released, by the
// calling thread. Re-entering a lock the thread holds never blocks and is not
// checked.
void LockOrderCheck(const void* lock, LockRank rank);
void LockOrderTaken(const void* lock, LockRank rank);
void LockOrderReleased(const void* lock);
