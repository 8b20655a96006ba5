#pragma once
// Small stand-ins for the per-user components: each records what the sync
// center asks of it in one shared log. The task manager runs a thread from
// Init to UnInit; the event center at Init reads the log-in and asks the
// service for its versions through the held remote storage, as the real one
// does.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/coreapp/componentmakers.h"
#include "core/coreapp/isynccenter.h"
#include "core/eventcenter/ieventcenter.h"
#include "core/filesystem/filesystem/ifilesystem.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/itaskmgr.h"
#include "platform/event.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace pellux_test {

class FakeLog {
public:
    void Add(const std::string& event) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_events.push_back(event);
    }
    std::vector<std::string> Events() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_events;
    }
    bool Has(const std::string& event) const {
        for (const std::string& e : Events()) {
            if (e == event)
                return true;
        }
        return false;
    }
    void Clear() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_events.clear();
    }
    std::atomic<int> liveThreads{0};

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_events;
};

template <class Itf>
class FakeComponent : public CUnknownImpl<Itf> {
public:
    FakeComponent(FakeLog& log, std::string name) : m_log(log), m_name(std::move(name)) {}

protected:
    HRESULT Hit(const char* operation) {
        m_log.Add(m_name + "." + operation);
        return S_OK;
    }
    FakeLog& m_log;
    std::string m_name;
};

class FakeLocalStorage final : public FakeComponent<ILocalStorage> {
public:
    using FakeComponent::FakeComponent;
    HRESULT Init(const std::wstring& configPath, const std::wstring& localSyncPath) override {
        return Hit("Init");
    }
    HRESULT UnInit() override { return Hit("UnInit"); }
    HRESULT Lock() override { return Hit("Lock"); }
    HRESULT Unlock() override { return Hit("Unlock"); }
    HRESULT ClearLastSnapshot() override { return Hit("ClearLastSnapshot"); }
    HRESULT FolderNeedUpdate(const std::wstring& id) override { return Hit("FolderNeedUpdate"); }
    HRESULT GetLastSyncSnapshot(const std::wstring& id, std::vector<RemoteItem>* out) override {
        return Hit("GetLastSyncSnapshot");
    }
    HRESULT GetItemInfo(const std::wstring& id, RemoteItem* out) override { return Hit("GetItemInfo"); }
    HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) override {
        return Hit("GetItemShareRight");
    }
    HRESULT AddOrUpdateFileItem(const RemoteItem& item) override { return Hit("AddOrUpdateFileItem"); }
    HRESULT UpdateFileVersion(const std::wstring& fileId, int64_t fileSize, int64_t fileVersion,
                              const std::wstring& sha1) override {
        return Hit("UpdateFileVersion");
    }
    HRESULT DeleteStaleChildren(const std::wstring& parentId) override { return Hit("DeleteStaleChildren"); }
    HRESULT UpdateFolderCacheVesion(const std::wstring& id) override {
        return Hit("UpdateFolderCacheVesion");
    }
    HRESULT SetCurCacheVesion(int64_t optVersion) override { return Hit("SetCurCacheVesion"); }
    int64_t GetCurCacheVesion(int64_t def) override {
        Hit("GetCurCacheVesion");
        return 0;
    }
    HRESULT SetCurShareCacheVesion(int64_t optVersion) override { return Hit("SetCurShareCacheVesion"); }
    int64_t GetCurShareCacheVesion(int64_t def) override {
        Hit("GetCurShareCacheVesion");
        return 0;
    }
    HRESULT GetFileInfoByPath(const std::wstring& path, std::wstring* sha1, bool relatePath) override {
        return Hit("GetFileInfoByPath");
    }
    HRESULT GetFileSizeByPath(const std::wstring& path, int64_t* size, bool relatePath) override {
        return Hit("GetFileSizeByPath");
    }
    HRESULT GetFileTimeByPath(const std::wstring& path, std::wstring* creationTime, std::wstring* writeTime,
                              bool relatePath) override {
        return Hit("GetFileTimeByPath");
    }
    HRESULT EncodeFile(const std::wstring& nameForType, const std::wstring& srcFile,
                       const std::wstring& desFile, const std::wstring& fileKey) override {
        return Hit("EncodeFile");
    }
    HRESULT DecodeFile(const std::wstring& srcFile, const std::wstring& desFile,
                       const std::wstring& fileKey) override {
        return Hit("DecodeFile");
    }
    HRESULT GetTempFilePath(std::wstring* out) override { return Hit("GetTempFilePath"); }
    HRESULT CopyFileToTempPathByFullPath(const std::wstring& fullPath, std::wstring* tempPath,
                                         bool relatePath) override {
        return Hit("CopyFileToTempPathByFullPath");
    }
    HRESULT MoveTempFileToSyncSpace(const std::wstring& sourcePath, const std::wstring& cachePath,
                                    const std::wstring& name, const std::wstring& sha1) override {
        return Hit("MoveTempFileToSyncSpace");
    }
    std::wstring GetFullPath(std::wstring* out, const std::wstring& relativePath) override {
        Hit("GetFullPath");
        return std::wstring();
    }
    HRESULT LocalFullTextSearch(const std::wstring& searchText, std::vector<RemoteItem>* out) override {
        return Hit("LocalFullTextSearch");
    }
};

class FakeTaskMgr final : public FakeComponent<ITaskMgr> {
public:
    using FakeComponent::FakeComponent;
    ~FakeTaskMgr() override { UnInit(); }
    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote) override {
        if (!local || !remote)
            return E_POINTER;
        m_stop.Reset();
        ++m_log.liveThreads;
        m_thread = std::thread([this] {
            m_stop.Wait();
            --m_log.liveThreads;
        });
        return Hit("Init");
    }
    HRESULT UnInit() override {
        if (m_thread.joinable()) {
            m_stop.Set();
            m_thread.join();
            Hit("UnInit");
        }
        return S_OK;
    }
    HRESULT Start() override { return Hit("Start"); }
    HRESULT Stop(int timeoutMs) override { return Hit("Stop"); }
    HRESULT ExecuteTask(TaskDataBase* record, XmlNode* reply, int tries) override {
        return Hit("ExecuteTask");
    }
    HRESULT AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                    void* context) override {
        return Hit("AddTask");
    }
    HRESULT CancelTask(const std::wstring& key) override { return Hit("CancelTask"); }
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override { return Hit("GetTaskList"); }
    HRESULT RemoveFinishedTask(const std::wstring& key) override { return Hit("RemoveFinishedTask"); }
    HRESULT RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context) override {
        return Hit("RetryTask");
    }

private:
    CEvent m_stop{true, false};
    std::thread m_thread;
};

class FakeFileSystem final : public FakeComponent<IFileSystem> {
public:
    using FakeComponent::FakeComponent;
    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                 ITaskMgr* taskMgr) override {
        return local && remote && taskMgr ? Hit("Init") : E_POINTER;
    }
    HRESULT UnInit() override { return Hit("UnInit"); }
    HRESULT GetMaxVer(std::wstring* opVer) override { return Hit("GetMaxVer"); }
    HRESULT GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh) override {
        return Hit("GetSpaceInfo");
    }
    HRESULT Dir(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh) override {
        return Hit("Dir");
    }
    HRESULT NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                      std::wstring* newId) override {
        return Hit("NewFolder");
    }
    HRESULT Rename(bool isFolder, const std::wstring& fileId, const std::wstring& newName) override {
        return Hit("Rename");
    }
    HRESULT Move(bool isFolder, const std::wstring& fileId, const std::wstring& newParentId) override {
        return Hit("Move");
    }
    HRESULT Delete(bool isFolder, const std::wstring& fileId) override { return Hit("Delete"); }
    HRESULT OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                     const std::wstring& remotePath) override {
        return Hit("OpenFile");
    }
    HRESULT Download(const std::wstring& fileId, const std::wstring& parentId, const std::wstring& remotePath,
                     const std::wstring& localPath) override {
        return Hit("Download");
    }
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& remotePath, const std::wstring& localPath) override {
        return Hit("Upload");
    }
    HRESULT DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                           const std::wstring& remotePath, const std::wstring& localFolder) override {
        return Hit("DownloadFolder");
    }
    HRESULT UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                         const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing) override {
        return Hit("UploadFolder");
    }
    HRESULT GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height,
                         int width) override {
        return Hit("GetThumbnail");
    }
    HRESULT FullTextSearch(const std::wstring& searchText, int searchType,
                           std::vector<RemoteItem>* out) override {
        return Hit("FullTextSearch");
    }
    HRESULT DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                            std::vector<RemoteItem>* out, bool forceRefresh) override {
        return Hit("DirShareToOther");
    }
    HRESULT DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                         std::vector<RemoteItem>* out, bool forceRefresh) override {
        return Hit("DirShareToMe");
    }
    HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) override {
        return Hit("GetItemShareRight");
    }
    HRESULT GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out) override {
        return Hit("GetRecycle");
    }
    HRESULT CleanRecycle(const std::wstring& fileId) override { return Hit("CleanRecycle"); }
    HRESULT Recover(const std::wstring& fileId, const std::wstring& parentId) override {
        return Hit("Recover");
    }
    HRESULT CancelTask(const std::wstring& taskId) override { return Hit("CancelTask"); }
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override { return Hit("GetTaskList"); }
    HRESULT RemoveFinishedTask(const std::wstring& taskId) override { return Hit("RemoveFinishedTask"); }
    HRESULT RetryTask(const std::wstring& taskId) override { return Hit("RetryTask"); }
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override { return Hit("GetOpenFileList"); }
    HRESULT RemoveOpenFile(const std::wstring& fileId) override { return Hit("RemoveOpenFile"); }
    HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath, std::wstring* remotePath,
                            int* fileVersion) override {
        return Hit("GetOpenFileInfo");
    }
    HRESULT UploadOpenFileNow(const std::wstring& fileId) override { return Hit("UploadOpenFileNow"); }
};

class FakeEventCenter final : public FakeComponent<IEventCenter> {
public:
    using FakeComponent::FakeComponent;
    HRESULT Init(ISyncCenter* syncCenter) override {
        Hit("Init");
        std::wstring token;
        if (syncCenter->GetLoginInfo(nullptr, &token, nullptr, nullptr) != S_OK)
            return E_FAIL;
        IRemoteStorage* remote = nullptr;
        HRESULT hr = syncCenter->GetInterface(IRemoteStorage::Iid(), reinterpret_cast<void**>(&remote));
        if (FAILED(hr))
            return hr;
        TaskData_GetRemoteOptVer* record = TaskData_GetRemoteOptVer::Create();
        record->token = token;
        XmlNode reply;
        hr = remote->GetMaxVers(record, nullptr, nullptr, &reply);
        record->Release();
        remote->Release();
        return hr;
    }
    HRESULT UnInit() override { return Hit("UnInit"); }
    HRESULT Start() override { return Hit("Start"); }
    HRESULT Stop() override { return Hit("Stop"); }
};

// A service client whose log-in replies are scripted; nothing else answers.
class ScriptedRemoteStorage final : public CUnknownImpl<IRemoteStorage> {
public:
    explicit ScriptedRemoteStorage(std::function<HRESULT(XmlNode*)> reply) : m_reply(std::move(reply)) {}
    HRESULT Init() override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT Login(const TaskData_Login* data, TransportProgressCallback progress, void* context,
                  XmlNode* reply) override {
        return m_reply(reply);
    }
    HRESULT ReLogin(const TaskData_ReLogin* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override {
        return m_reply(reply);
    }
    HRESULT GetSpace(const TaskData_GetSpace* data, TransportProgressCallback progress, void* context,
                     XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetMaxVers(const TaskData_GetRemoteOptVer* data, TransportProgressCallback progress,
                       void* context, XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetRecycle(const TaskData_GetRecycle* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT CleanRecycle(const TaskData_CleanRecycle* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT Recover(const TaskData_Recover* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT PushNotify(const TaskData_PushNotify* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetNormalItemSnapshot(const TaskData_ItemSnapshot* data, TransportProgressCallback progress,
                                  void* context, XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetDeletedItemSnapshot(const TaskData_ItemSnapshot* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetAllShareFile(const TaskData_GetAllShareFile* data, TransportProgressCallback progress,
                            void* context, XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT Dir(const TaskData_Dir* data, TransportProgressCallback progress, void* context,
                XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT Delete(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT DeleteEx(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                     XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT Rename(const TaskData_Rename* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT NewFolder(const TaskData_DirectoryAdd* data, TransportProgressCallback progress, void* context,
                      XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT Move(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                 XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT MoveEx(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT NewFile(const TaskData_NewFile* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT UpdateFile(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT _UploadFile(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                        XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT DownloadFile(const TaskData_DownloadFile* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetThumbnail(const TaskData_GetThumbnail* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT FullTextSearch(const TaskData_FullTextSearch* data, TransportProgressCallback progress,
                           void* context, XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT GetItemInfo(const TaskData_GetItemInfo* data, TransportProgressCallback progress, void* context,
                        XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT ShareFile(const TaskData_ShareFile* data, TransportProgressCallback progress, void* context,
                      XmlNode* reply) override {
        return E_NOTIMPL;
    }
    HRESULT SetFileModTime(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                           XmlNode* reply) override {
        return E_NOTIMPL;
    }

private:
    std::function<HRESULT(XmlNode*)> m_reply;
};

// Fakes for every component but the remote storage, which is the real client
// unless a scripted one is given.
inline CoreComponentMakers FakeMakers(FakeLog& log,
                                      CComPtr<IRemoteStorage> remote = CComPtr<IRemoteStorage>()) {
    auto give = [](auto* made, auto** out) {
        made->AddRef();
        *out = made;
        return S_OK;
    };
    CoreComponentMakers makers;
    makers.localStorage = [&log, give](ILocalStorage** out) {
        return give(new FakeLocalStorage(log, "local"), out);
    };
    makers.taskMgr = [&log, give](ITaskMgr** out) { return give(new FakeTaskMgr(log, "tasks"), out); };
    makers.fileSystem = [&log, give](IFileSystem** out) {
        return give(new FakeFileSystem(log, "files"), out);
    };
    makers.eventCenter = [&log, give](IEventCenter** out) {
        return give(new FakeEventCenter(log, "events"), out);
    };
    if (remote) {
        makers.remoteStorage = [remote](IRemoteStorage** out) {
            remote->AddRef();
            *out = remote.get();
            return S_OK;
        };
    } else {
        makers.remoteStorage = [](IRemoteStorage** out) { return CreateRemoteStorage(out); };
    }
    return makers;
}

}  // namespace pellux_test

#pragma GCC diagnostic pop
