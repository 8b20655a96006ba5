#pragma once
// The queue of transfers: at most five run at once, each in a task cluster on
// its own thread; a tick thread moves finished ones to the finished list,
// calls their completion callbacks and starts waiting ones.
//
// The manager lock guards the three lists only. Nothing that calls out (the
// sync center, a completion callback, a thread join) runs under it: entries
// are collected under the lock and acted on after it is released.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/taskmgr/itaskmgr.h"
#include "core/taskmgr/task/file_task/itask.h"
#include "platform/criticalsection.h"
#include "platform/workerthread.h"

class CTaskCluster;

// Timing and the task maker, replaceable so tests run fast with fake tasks.
struct TaskMgrTuning {
    uint32_t tickMs = 1000;
    // The file-task factory when empty.
    TaskMaker taskMaker;
};

class CAsyncTaskMgr : public std::enable_shared_from_this<CAsyncTaskMgr> {
public:
    static constexpr size_t kMaxRunning = 5;
    static constexpr int kAttempts = 3;
    static constexpr uint32_t kMinStopWaitMs = 2000;

    explicit CAsyncTaskMgr(const TaskMgrTuning& tuning);
    ~CAsyncTaskMgr();

    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote);
    // E_FAIL when the tick thread cannot be made or after Stop.
    HRESULT Start();
    // Drops waiting tasks, stops running ones (each waited for timeout / n, at
    // least 2000 ms), ends the tick thread and refuses new tasks from then on.
    // Records of stopped tasks end in the finished list; no callback runs.
    HRESULT Stop(uint32_t timeoutMs);
    HRESULT AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback, void* context);
    HRESULT CancelTask(const std::wstring& key);
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out);
    HRESULT RemoveFinishedTask(const std::wstring& key);
    HRESULT RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context);

    // One round of the tick thread: sweep, then promote one waiting task.
    void Tick();

private:
    using RecordPtr = std::shared_ptr<TaskDataBase>;
    struct Waiting {
        RecordPtr record;
        TaskCompletionCallback callback = nullptr;
        void* context = nullptr;
    };
    struct Running {
        std::shared_ptr<CTaskCluster> cluster;
        RecordPtr record;
        TaskCompletionCallback callback = nullptr;
        void* context = nullptr;
    };

    static RecordPtr Own(TaskDataBase* record);
    // A cluster ready to start (interfaces and token taken); runs unlocked.
    HRESULT NewCluster(std::shared_ptr<CTaskCluster>* out);
    // Starts the record at once, or queues it when queueing is allowed and the
    // running list has filled up meanwhile.
    HRESULT StartOrQueue(const RecordPtr& record, bool mayQueue, TaskCompletionCallback callback,
                         void* context);
    // Moves finished entries to the finished list. With callbacks, calls them
    // afterwards, outside the lock.
    void Sweep(bool callbacks);
    void Promote();

    TaskMgrTuning m_tuning;
    // Keys may repeat in the waiting and running lists: a second task for the
    // same item runs beside the first instead of replacing it. The finished
    // list keeps the latest record per key; a replaced one is released.
    std::multimap<std::wstring, Waiting> m_waiting;
    std::map<std::wstring, RecordPtr> m_finished;
    std::multimap<std::wstring, Running> m_running;
    CCriticalSection m_lock{LockRank::kTaskMgr};
    ISyncCenter* m_syncCenter = nullptr;
    ILocalStorage* m_local = nullptr;
    IRemoteStorage* m_remote = nullptr;
    // Set by Stop: no task is added, retried or promoted afterwards.
    bool m_stopped = false;
    CWorkerThread m_tick;
    std::atomic<std::thread::id> m_tickThread{std::thread::id()};
};
