#pragma once
// What the facade hands to the open-for-edit manager: single-file transfers,
// opening for edit, task retries and the open-file list. The facade holds the
// real manager behind it (CFileSyncMgrOps); tests put a stand-in in its place.
#include <string>
#include <vector>

#include "core/taskmgr/taskinfo.h"
#include "platform/hresult.h"

struct ISyncCenter;
struct ILocalStorage;
struct IRemoteStorage;
struct ITaskMgr;

class FileSyncOps {
public:
    virtual ~FileSyncOps() = default;

    virtual HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                         ITaskMgr* taskMgr) = 0;
    virtual HRESULT UnInit() = 0;
    // remotePath: the item's remote path; its last component is the name.
    virtual HRESULT OpenFile(const std::wstring& fileId, const std::wstring& remotePath,
                             const std::wstring& localPath) = 0;
    virtual HRESULT Download(const std::wstring& fileId, const std::wstring& remotePath,
                             const std::wstring& localPath) = 0;
    // An empty file id posts a new file.
    virtual HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                           const std::wstring& remotePath, const std::wstring& localPath) = 0;
    // With the manager's own completion callback.
    virtual HRESULT RetryTask(const std::wstring& key) = 0;
    virtual HRESULT GetOpenFileList(std::vector<TaskInfo>* out) = 0;
    virtual HRESULT RemoveOpenFile(const std::wstring& fileId) = 0;
    virtual HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath,
                                    std::wstring* remotePath, int* fileVersion) = 0;
    virtual HRESULT UploadOpenFileNow(const std::wstring& fileId) = 0;
};
