#pragma once
// Runs request records: synchronously on the caller's thread with retries
// after transport failures, or queued (at most five at once) with a
// completion callback.
#include <string>
#include <vector>

#include "core/taskmgr/taskinfo.h"
#include "platform/unknown.h"

class TaskDataBase;
class XmlNode;
struct ISyncCenter;
struct ILocalStorage;
struct IRemoteStorage;

// Called once per finished task, after the manager's lock is released; the
// record carries the outcome and stays owned by the manager.
typedef void (*TaskCompletionCallback)(TaskDataBase* record, void* context);

struct ITaskMgr : IUnknown {
    PELLUX_INTERFACE_ID(0x129815B2, 0x98A4, 0x43DB, 0x97, 0x5A, 0x7D, 0xD3, 0xEC, 0x4E, 0x17, 0x1E)

    virtual HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote) = 0;
    virtual HRESULT UnInit() = 0;
    virtual HRESULT Start() = 0;
    // timeoutMs -1 waits without limit.
    virtual HRESULT Stop(int timeoutMs) = 0;
    // The result of the last try; tries below 1 run nothing and give 0.
    virtual HRESULT ExecuteTask(TaskDataBase* record, XmlNode* reply, int tries) = 0;
    // Ownership of the record passes to the manager, also on failure.
    virtual HRESULT AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                            void* context) = 0;
    // An empty key cancels every task.
    virtual HRESULT CancelTask(const std::wstring& key) = 0;
    virtual HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) = 0;
    virtual HRESULT RemoveFinishedTask(const std::wstring& key) = 0;
    virtual HRESULT RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context) = 0;
};
