#pragma once
// The task lists and their commands as the task pane and the exit prompt use
// them. The program's forwards to the core-access object; tests hand a fake.
// Shared-owned: the task-pane poller may outlive its pane by a few seconds.
#include <memory>
#include <string>
#include <vector>

#include "core/taskmgr/taskinfo.h"
#include "platform/hresult.h"

class ITaskCore {
public:
    virtual ~ITaskCore() = default;
    virtual bool IsLoggedIn() = 0;
    virtual HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) = 0;
    virtual HRESULT GetOpenFileList(std::vector<TaskInfo>* out) = 0;
    // An empty id cancels every task.
    virtual HRESULT CancelAllTasks(const std::wstring& taskId) = 0;
    virtual HRESULT ClearTaskList(const std::wstring& taskId) = 0;
    virtual HRESULT RetryTask(const std::wstring& taskId) = 0;
    // An empty id stops watching every file.
    virtual HRESULT RemoveOpenFile(const std::wstring& fileId) = 0;
    virtual HRESULT UploadOpenFileNow(const std::wstring& fileId) = 0;
};

// The core-access object behind the interface.
std::shared_ptr<ITaskCore> CoreTaskAccess();
