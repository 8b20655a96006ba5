#pragma once
// The open-for-edit manager: brings a current copy of a remote file into the
// local cache (reusing a cached copy that is provably current), opens it with
// the desktop's program, watches it while it is edited and posts an upload
// when its content changed. It also posts the facade's single-file transfers,
// serves the task and open-file lists, reports every transfer it posted, and
// owns the drag-out marker monitor. A plain member of the file-system facade,
// initialised and uninitialised by it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/filesystem/filesystem/fileopener.h"
#include "core/filesystem/filesystem/filesyncops.h"
#include "core/taskmgr/taskinfo.h"
#include "platform/hresult.h"

struct ISyncCenter;
struct ILocalStorage;
struct IRemoteStorage;
struct ITaskMgr;
class IExecutor;
class IMarkerDownloader;
class TaskDataBase;

// The watch's periods; tests shorten them.
struct FileSyncTiming {
    // One pass over the open files.
    uint32_t checkPeriodMs = 1500;
    // Passes a changed file must stay unchanged before it is hashed.
    int quietPasses = 2;
    // Passes a file may be missing (a save that writes a new file and renames
    // it over the old one) before its entry ends.
    int missingPasses = 4;
    // An entry with nothing pending that has not changed and is not held for
    // this long ends; the copy becomes read-only again.
    uint32_t idleEndMs = 30 * 60 * 1000;
    // Wait after an upload failed because the file was busy before posting it again.
    uint32_t busyRetryMs = 15000;
};

class CFileSyncMgr : public FileSyncOps {
public:
    CFileSyncMgr();
    // Runs UnInit.
    ~CFileSyncMgr() override;
    CFileSyncMgr(const CFileSyncMgr&) = delete;
    CFileSyncMgr& operator=(const CFileSyncMgr&) = delete;

    // Before Init. Without an opener files are handed to xdg-open. The opener
    // is called on the worker thread, and on the caller's thread when a
    // cached copy is reused.
    void SetFileOpener(FileOpener opener);
    void SetTiming(const FileSyncTiming& timing);
    // Before Init: the marker monitor runs only when both are given (the
    // executor delivers notifications, normally on the GUI thread).
    void SetMarkerMonitor(std::shared_ptr<IExecutor> executor, std::shared_ptr<IMarkerDownloader> downloader);

    // Starts the worker (and the marker monitor). E_FAIL when the sync root
    // is missing; the sync center's failure to name it is returned.
    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                 ITaskMgr* taskMgr) override;
    // Stops the marker monitor and the worker (5000 ms, then it is abandoned).
    HRESULT UnInit() override;

    // Opens a remote file for editing at localPath (built by the facade).
    HRESULT OpenFile(const std::wstring& fileId, const std::wstring& itemPath,
                     const std::wstring& localPath) override;
    // Brings the file to localPath without opening it; a current copy there is kept.
    HRESULT Download(const std::wstring& fileId, const std::wstring& itemPath,
                     const std::wstring& localPath) override;
    // Posts an upload: a new file when fileId is empty, else a new version.
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& itemPath, const std::wstring& localPath) override;

    // The task list, through the task manager.
    HRESULT CancelTask(const std::wstring& taskId);
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out);
    HRESULT RemoveFinishedTask(const std::wstring& taskId);
    HRESULT RetryTask(const std::wstring& taskId) override;

    // The open-file list. Entries are appended after what out holds.
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override;
    // An empty id empties the list.
    HRESULT RemoveOpenFile(const std::wstring& fileId) override;
    // E_FAIL when the id is not open; null outs are skipped.
    HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath, std::wstring* itemPath,
                            int* fileVersion) override;
    // Uploads the open file now, changed or not; the entry stays.
    HRESULT UploadOpenFileNow(const std::wstring& fileId) override;

    // The completion callback handed to the task manager with every record
    // posted here (context: the manager's state). It only queues the outcome;
    // the worker acts on it. Safe after the manager is gone.
    static void OnTransferComplete(TaskDataBase* record, void* context);

    class State;

private:
    FileOpener m_opener;
    FileSyncTiming m_timing;
    std::shared_ptr<IExecutor> m_markerExecutor;
    std::shared_ptr<IMarkerDownloader> m_markerDownloader;
    // Made by Init, one per session; shared with the worker and the monitor,
    // which may outlive the manager when they do not stop in time.
    std::shared_ptr<State> m_state;
};
