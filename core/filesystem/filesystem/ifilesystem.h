#pragma once
// The facade through which the user interface works on the remote space:
// listings through the local cache, item commands, transfers, sharing views,
// the recycle bin, search, and the task and open-file lists.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "core/taskmgr/taskinfo.h"
#include "platform/unknown.h"

struct ISyncCenter;
struct ILocalStorage;
struct IRemoteStorage;
struct ITaskMgr;

struct IFileSystem : IUnknown {
    PELLUX_INTERFACE_ID(0xD039AADC, 0x11E3, 0x4D6B, 0x84, 0x0B, 0xA4, 0x1E, 0xE7, 0xB1, 0x11, 0x59)

    virtual HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                         ITaskMgr* taskMgr) = 0;
    virtual HRESULT UnInit() = 0;

    // Listing and item commands.
    virtual HRESULT GetMaxVer(std::wstring* opVer) = 0;
    virtual HRESULT GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh) = 0;
    virtual HRESULT Dir(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh) = 0;
    // On S_OK or "target exists" newId receives the (existing) folder's id.
    virtual HRESULT NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                              std::wstring* newId) = 0;
    virtual HRESULT Rename(bool isFolder, const std::wstring& fileId, const std::wstring& newName) = 0;
    virtual HRESULT Move(bool isFolder, const std::wstring& fileId, const std::wstring& newParentId) = 0;
    virtual HRESULT Delete(bool isFolder, const std::wstring& fileId) = 0;

    // Transfers. remotePath is the item's remote path; its last component is the name.
    virtual HRESULT OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                             const std::wstring& remotePath) = 0;
    virtual HRESULT Download(const std::wstring& fileId, const std::wstring& parentId,
                             const std::wstring& remotePath, const std::wstring& localPath) = 0;
    // fileId empty for a new file.
    virtual HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                           const std::wstring& remotePath, const std::wstring& localPath) = 0;
    virtual HRESULT DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                                   const std::wstring& remotePath, const std::wstring& localFolder) = 0;
    // keepGoing (may be null): the walk stops before its next entry once it reads 0.
    virtual HRESULT UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                                 const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing) = 0;
    virtual HRESULT GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height,
                                 int width) = 0;
    virtual HRESULT FullTextSearch(const std::wstring& searchText, int searchType,
                                   std::vector<RemoteItem>* out) = 0;
    virtual HRESULT DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                                    std::vector<RemoteItem>* out, bool forceRefresh) = 0;
    virtual HRESULT DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                                 std::vector<RemoteItem>* out, bool forceRefresh) = 0;
    virtual HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) = 0;

    // Recycle bin.
    virtual HRESULT GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out) = 0;
    virtual HRESULT CleanRecycle(const std::wstring& fileId) = 0;
    virtual HRESULT Recover(const std::wstring& fileId, const std::wstring& parentId) = 0;

    // Task and open-file lists. An empty id means every entry.
    virtual HRESULT CancelTask(const std::wstring& taskId) = 0;
    virtual HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) = 0;
    virtual HRESULT RemoveFinishedTask(const std::wstring& taskId) = 0;
    virtual HRESULT RetryTask(const std::wstring& taskId) = 0;
    virtual HRESULT GetOpenFileList(std::vector<TaskInfo>* out) = 0;
    virtual HRESULT RemoveOpenFile(const std::wstring& fileId) = 0;
    virtual HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath,
                                    std::wstring* remotePath, int* fileVersion) = 0;
    virtual HRESULT UploadOpenFileNow(const std::wstring& fileId) = 0;
};
