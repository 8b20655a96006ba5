#pragma once
// The one object through which the user interface reaches the core, and core
// code reaches the UI bridge. It holds the sync center, the bridge and (while
// someone is logged in) the file-system facade, and forwards each request to
// one of them. Any thread may call; references are taken as counted
// snapshots, so a call racing Shutdown finds either a live object or nothing.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/coreapp/imainwindow.h"
#include "core/coreapp/ishelladapter.h"
#include "core/coreapp/isynccenter.h"
#include "core/filesystem/filesystem/ifilesystem.h"

class CCoreAccess {
public:
    CCoreAccess() = default;
    ~CCoreAccess();
    CCoreAccess(const CCoreAccess&) = delete;
    CCoreAccess& operator=(const CCoreAccess&) = delete;

    // Life cycle and log-in (the UI thread).
    // E_FAIL while a previous Startup has not been shut down.
    HRESULT Startup(const std::wstring& dataDir, IMainWindow* sink);
    // Returns the sync center's UnInit result; S_OK when nothing was started.
    HRESULT Shutdown();
    HRESULT BindWithLogin(const std::wstring& userName, const std::wstring& password, int loginMode);
    HRESULT TryLogin(int unused);
    HRESULT FetchFileSystem();
    HRESULT UnBind();
    bool IsLoggedIn();
    HRESULT GetLoginInfo(std::wstring* userName, std::wstring* token, std::wstring* userId,
                         std::wstring* nickName);

    // Per-user values.
    std::wstring GetUserValue(std::wstring& out, const std::wstring& name, const std::wstring& def);
    HRESULT SetUserValue(const std::wstring& name, const std::wstring& text);
    // Leading decimal digits with an optional sign ("12ab" is 12); 0 when
    // empty, missing or not a number.
    int GetUserIntValue(const std::wstring& name);
    HRESULT SetUserIntValue(const std::wstring& name, int value);
    HRESULT GetSyncRoot(std::wstring& out);

    // The UI bridge. Without a bridge (before Startup, after Shutdown):
    // E_FAIL, and AskUser answers kAskCancel.
    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption);
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText, int rememberValue);
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs);

    // The file-system facade; E_FAIL while nobody is logged in. An item path
    // argument marked "not passed on" is the caller's and unused here.
    HRESULT GetMaxVer(std::wstring* opVer);
    HRESULT GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh);
    HRESULT Dir(const std::wstring& parentId, const std::wstring& itemPath, std::vector<RemoteItem>* out,
                bool forceRefresh);
    HRESULT NewFolder(const std::wstring& parentId, const std::wstring& fullPath, std::wstring* newId);
    HRESULT Rename(bool isFolder, const std::wstring& fileId, const std::wstring& itemPath,
                   const std::wstring& newName);
    HRESULT Move(bool isFolder, const std::wstring& fileId, const std::wstring& itemPath,
                 const std::wstring& newParentId);
    HRESULT Delete(bool isFolder, const std::wstring& fileId, const std::wstring& itemPath);
    HRESULT OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                     const std::wstring& remotePath);
    HRESULT Download(const std::wstring& fileId, const std::wstring& parentId, const std::wstring& remotePath,
                     const std::wstring& localPath);
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& remotePath, const std::wstring& localPath);
    HRESULT DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                           const std::wstring& remotePath, const std::wstring& localFolder);
    HRESULT UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                         const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing);
    HRESULT GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height, int width);
    HRESULT FullTextSearch(const std::wstring& searchText, int searchType, std::vector<RemoteItem>* out);
    HRESULT DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                            std::vector<RemoteItem>* out, bool forceRefresh);
    HRESULT DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                         std::vector<RemoteItem>* out, bool forceRefresh);
    HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out);
    HRESULT GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out);
    HRESULT CleanRecycle(const std::wstring& fileId);
    HRESULT Recover(const std::wstring& fileId, const std::wstring& parentId);
    // An empty id cancels every task.
    HRESULT CancelAllTasks(const std::wstring& taskId);
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out);
    // An empty id removes every finished task.
    HRESULT ClearTaskList(const std::wstring& taskId);
    HRESULT RetryTask(const std::wstring& taskId);
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out);
    // An empty id clears the list.
    HRESULT RemoveOpenFile(const std::wstring& fileId);
    HRESULT UploadOpenFileNow(const std::wstring& fileId);

private:
    CComPtr<ISyncCenter> _SyncCenter();
    CComPtr<IShellAdapter> _Bridge();
    CComPtr<IFileSystem> _FileSystem();
    template <class Call>
    HRESULT _WithFileSystem(Call call);

    // Guards the three references; never held while one of them is called.
    std::mutex m_lock;
    CComPtr<ISyncCenter> m_syncCenter;
    CComPtr<IShellAdapter> m_bridge;
    // Set by a successful log-in, cleared at UnBind and Shutdown.
    CComPtr<IFileSystem> m_fileSystem;
};

// The process-wide object, made on first use.
CCoreAccess& GetCoreAccess();
