#pragma once
// The facade through which the user interface works on the remote space: it
// runs each command's request record through the task manager and keeps the
// local cache in step with what it listed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/filesystem/filesystem/filesyncops.h"
#include "core/filesystem/filesystem/ifilesystem.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/itaskmgr.h"

class CFileSystem final : public CUnknownImpl<IFileSystem> {
public:
    // One reference in out; E_FAIL when the object cannot be made.
    static HRESULT CreateInstance(IFileSystem** out);

    // The real open-for-edit manager, for the program's set-up before Init;
    // null when a test replaced it.
    CFileSyncMgr* FileSyncMgr();
    // Tests: a stand-in for the open-for-edit manager, set before Init.
    void SetFileSyncOps(std::unique_ptr<FileSyncOps> ops) { m_fileSync = std::move(ops); }

    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                 ITaskMgr* taskMgr) override;
    HRESULT UnInit() override;

    HRESULT GetMaxVer(std::wstring* opVer) override;
    HRESULT GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh) override;
    HRESULT Dir(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh) override;
    HRESULT NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                      std::wstring* newId) override;
    HRESULT Rename(bool isFolder, const std::wstring& fileId, const std::wstring& newName) override;
    HRESULT Move(bool isFolder, const std::wstring& fileId, const std::wstring& newParentId) override;
    HRESULT Delete(bool isFolder, const std::wstring& fileId) override;

    HRESULT OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                     const std::wstring& remotePath) override;
    HRESULT Download(const std::wstring& fileId, const std::wstring& parentId, const std::wstring& remotePath,
                     const std::wstring& localPath) override;
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& remotePath, const std::wstring& localPath) override;
    HRESULT DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                           const std::wstring& remotePath, const std::wstring& localFolder) override;
    HRESULT UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                         const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing) override;
    HRESULT GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height,
                         int width) override;
    HRESULT FullTextSearch(const std::wstring& searchText, int searchType,
                           std::vector<RemoteItem>* out) override;
    HRESULT DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                            std::vector<RemoteItem>* out, bool forceRefresh) override;
    HRESULT DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                         std::vector<RemoteItem>* out, bool forceRefresh) override;
    HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) override;
    HRESULT GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out) override;
    HRESULT CleanRecycle(const std::wstring& fileId) override;
    HRESULT Recover(const std::wstring& fileId, const std::wstring& parentId) override;
    HRESULT CancelTask(const std::wstring& taskId) override;
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override;
    HRESULT RemoveFinishedTask(const std::wstring& taskId) override;
    HRESULT RetryTask(const std::wstring& taskId) override;
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override;
    HRESULT RemoveOpenFile(const std::wstring& fileId) override;
    HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath, std::wstring* remotePath,
                            int* fileVersion) override;
    HRESULT UploadOpenFileNow(const std::wstring& fileId) override;

private:
    CFileSystem() = default;

    // Dir's work; unreachable receives the transport failure when the rows
    // came from the cache because the service could not be reached.
    HRESULT ListFolder(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh,
                       HRESULT* unreachable);
    // The current remote version ("GetRemoteOptVer") into the cache.
    HRESULT RefreshCacheVersion(int tries);
    // A question to the user through the core-access object.
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& buttons,
                int flag = 1, const std::wstring& checkText = L"记住我的选择");
    void ShowMessage(const std::wstring& text);
    HRESULT DownloadFolderAt(const std::wstring& folderId, const std::wstring& parentId,
                             const std::wstring& remotePath, const std::wstring& localFolder, int depth);
    HRESULT UploadFolderAt(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                           const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing, int depth);
    // Runs a listing request (GetAllShareFile, GetRecycle, FullTextSearch) into reply.
    HRESULT RunQuery(TaskDataBase* record, XmlNode* reply, int tries);

    ISyncCenter* m_syncCenter = nullptr;  // not counted: it owns the facade
    CComPtr<ILocalStorage> m_local;
    CComPtr<IRemoteStorage> m_remote;
    CComPtr<ITaskMgr> m_taskMgr;
    // The open-for-edit manager, started by Init and stopped by UnInit.
    std::unique_ptr<FileSyncOps> m_fileSync;
    std::wstring m_token;
    // The shared-items version at which m_shareToMeReply was fetched; the
    // lowest value until a fetch of the version succeeded, so that the kept
    // tree never looks fresh by accident.
    int64_t m_shareVersion = INT64_MIN;
    // The last shared-with-me reply, emptied by UnInit.
    XmlNode m_shareToMeReply;
    // The space cache; -1 while not loaded.
    int64_t m_spaceUsed = -1;
    int64_t m_spaceTotal = -1;
};

// The out pointer holds one reference; E_FAIL when the object cannot be made.
HRESULT CreateFileSystem(IFileSystem** out);
