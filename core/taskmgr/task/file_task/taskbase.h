#pragma once
// The base of the file tasks: the record, the storage objects, progress
// forwarding and the cancel flag that every blocking step looks at.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "core/taskmgr/task/file_task/filetaskhost.h"
#include "core/taskmgr/task/file_task/itask.h"

class TaskData_UpdateFile;

class CTaskBase : public ITask {
public:
    CTaskBase(TaskDataBase* record, std::shared_ptr<IFileTaskHost> host);
    ~CTaskBase() override;

    HRESULT Init(ILocalStorage* local, IRemoteStorage* remote, TransportProgressCallback progress,
                 void* context) override;
    // ExecuteLocal for uploads, ExecuteRemote for downloads.
    HRESULT Execute() override;
    HRESULT Cancel() override;
    TaskDataBase* GetTaskData() override { return m_record; }

protected:
    virtual HRESULT ExecuteLocal() { return E_NOTIMPL; }
    virtual HRESULT ExecuteRemote() { return E_NOTIMPL; }

    bool Cancelled() const { return m_cancel.load(); }
    const std::atomic<bool>& CancelFlag() const { return m_cancel; }
    // A step's failure once the cancel flag is set reads as the cancel it is.
    HRESULT CancelledOr(HRESULT hr) const;
    // Waits ms or until cancelled; false when cancelled.
    bool SleepUnlessCancelled(uint32_t ms);
    // Asks the user; the task stops waiting (the prompt may stay open) when it
    // is cancelled meanwhile, and then answers kAskCancel with Cancelled() set.
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText, int rememberValue);
    // SHA-1 (40 lower-case digits) of a file, stopped by the cancel flag.
    HRESULT Sha1Of(const std::wstring& path, std::wstring* hex) const;

    // Uploads a file's content for the record (source copy, upload request,
    // encoding, transfer); the new version text on success. Every
    // intermediate file is gone when it returns.
    HRESULT UploadContent(TaskData_UpdateFile& record, std::wstring* fileVer);

    // Handed to the transfers: reports to the cluster, or stops the transfer
    // (E_FAIL) once the task is cancelled.
    static HRESULT ForwardProgress(void* task, int64_t downloadTotal, int64_t downloadNow,
                                   int64_t uploadTotal, int64_t uploadNow, int64_t bytesPerSecond);

    TaskDataBase* m_record;
    ILocalStorage* m_local = nullptr;
    IRemoteStorage* m_remote = nullptr;
    std::shared_ptr<IFileTaskHost> m_host;

private:
    TransportProgressCallback m_progress = nullptr;
    void* m_context = nullptr;
    std::atomic<bool> m_cancel{false};
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
};

// A last-write time text up to its last "." (empty when it has none).
std::wstring ModTimeText(const std::wstring& writeTime);
