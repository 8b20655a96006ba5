#pragma once
// Runs one queued transfer on a thread of its own: makes the file task for
// the record, tries it up to a fixed number of attempts and leaves the outcome
// in the record for the task manager's sweep.
//
// The task works on a copy of the record. The manager's record is written only
// under the cluster lock (progress, and at the end the copy with the outcome),
// and never again once the cluster gave up on its worker: an abandoned worker
// keeps its copy, the task and the storage objects alive by itself, so it
// never touches what the manager has handed on or freed.
#include <cstdint>
#include <memory>
#include <string>

#include "core/taskmgr/task/file_task/itask.h"
#include "core/taskmgr/taskexecuter.h"
#include "core/taskmgr/taskinfo.h"
#include "platform/hresult.h"

class TaskDataBase;
struct ISyncCenter;

class CTaskCluster : public CTaskExecuter {
public:
    explicit CTaskCluster(TaskMaker maker);
    ~CTaskCluster() override;

    // Takes the local and remote storage from the sync center and reads the
    // current session token; the first failure is returned. Calls out, so the
    // manager runs it without its lock.
    HRESULT Init(ISyncCenter* syncCenter, int attempts);
    // Sets the record running with the token, makes its task and starts the
    // worker; calls nothing outside the cluster. A failure (no task for the
    // operation, no thread) is returned and also left in the record as
    // finished, so a task that never started is not shown running forever.
    HRESULT Start(const std::shared_ptr<TaskDataBase>& record);
    // Asks the task to cancel and waits up to timeoutMs for the worker. A
    // worker still running then is abandoned and the record finished as
    // cancelled. True when the worker ended in time.
    bool Stop(uint32_t timeoutMs);
    // Only asks the task to cancel.
    void Cancel();
    // True when the record holds its outcome and the worker has ended (or was
    // abandoned): the sweep may take the record and destroy the cluster.
    bool IsFinished() const;
    // Joins the ended worker.
    void Join() { _Join(); }

    // The record's list entry and key, read under the cluster lock.
    TaskInfo ReadInfo() const;
    std::wstring RecordKey() const;

    // Progress of the running transfer (the task hands it to the transport).
    static HRESULT OnProgress(void* context, int64_t downloadTotal, int64_t downloadNow, int64_t uploadTotal,
                              int64_t uploadNow, int64_t bytesPerSecond);

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared);
    static void Finish(Shared& shared, HRESULT result);

    TaskMaker m_maker;
    std::shared_ptr<Shared> m_shared;
};

// Status body value of a session problem (token expired, client version
// refused, not logged in) reported by a cluster.
constexpr uint32_t kSessionProblemBodyValue = 88;
