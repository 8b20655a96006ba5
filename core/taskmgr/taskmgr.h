#pragma once
// The task manager: request records run synchronously on the caller's thread
// (with retries after transport failures) or queued in the asynchronous part.
#include <memory>
#include <string>

#include "core/taskmgr/asynctaskmgr.h"
#include "core/taskmgr/itaskmgr.h"

class CTaskMgr final : public CUnknownImpl<ITaskMgr> {
public:
    static HRESULT CreateInstance(const TaskMgrTuning& tuning, ITaskMgr** out);

    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote) override;
    HRESULT UnInit() override;
    HRESULT Start() override;
    HRESULT Stop(int timeoutMs) override;
    HRESULT ExecuteTask(TaskDataBase* record, XmlNode* reply, int tries) override;
    HRESULT AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                    void* context) override;
    HRESULT CancelTask(const std::wstring& key) override;
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override;
    HRESULT RemoveFinishedTask(const std::wstring& key) override;
    HRESULT RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context) override;

private:
    explicit CTaskMgr(const TaskMgrTuning& tuning);
    ~CTaskMgr() override;

    // The synchronous part; the sync center outlives the manager (not counted).
    ISyncCenter* m_syncCenter = nullptr;
    ILocalStorage* m_local = nullptr;
    IRemoteStorage* m_remote = nullptr;
    // Read at Init; filled into records that carry no token.
    std::wstring m_token;
    // Shared with its tick thread.
    std::shared_ptr<CAsyncTaskMgr> m_async;
};

// The out pointer holds one reference; E_FAIL when the object cannot be made.
HRESULT CreateTaskMgr(ITaskMgr** out);
// As CreateTaskMgr with other periods or task maker (tests).
HRESULT CreateTaskMgr(const TaskMgrTuning& tuning, ITaskMgr** out);
