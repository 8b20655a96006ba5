#pragma once
// Small stand-ins for the per-user components: each records what the sync
// center asks of it in one shared log. The task manager runs a thread from
// Init to UnInit; the event center at Init reads the log-in and asks the
// service for its versions through the held remote storage, as the real one
// does.
#include <algorithm>
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
#include "tests/support/forwardingremotestorage.h"

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
        const std::vector<std::string> events = Events();
        return std::find(events.begin(), events.end(), event) != events.end();
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

// One recording stub per interface method: PELLUX_FAKE(Name, parameter types...).
#define PELLUX_FAKE(Name, ...)           \
    HRESULT Name(__VA_ARGS__) override { \
        return Hit(#Name);               \
    }
using FakeStr = const std::wstring&;
using FakeItems = std::vector<RemoteItem>*;

class FakeLocalStorage final : public FakeComponent<ILocalStorage> {
public:
    using FakeComponent::FakeComponent;
    PELLUX_FAKE(Init, FakeStr, FakeStr)
    PELLUX_FAKE(UnInit)
    PELLUX_FAKE(Lock)
    PELLUX_FAKE(Unlock)
    PELLUX_FAKE(ClearLastSnapshot)
    PELLUX_FAKE(FolderNeedUpdate, FakeStr)
    PELLUX_FAKE(GetLastSyncSnapshot, FakeStr, FakeItems)
    PELLUX_FAKE(GetItemInfo, FakeStr, RemoteItem*)
    PELLUX_FAKE(GetItemShareRight, FakeStr, std::vector<SharerInfo>*)
    PELLUX_FAKE(AddOrUpdateFileItem, const RemoteItem&)
    PELLUX_FAKE(UpdateFileVersion, FakeStr, int64_t, int64_t, FakeStr)
    PELLUX_FAKE(DeleteStaleChildren, FakeStr)
    PELLUX_FAKE(UpdateFolderCacheVesion, FakeStr)
    PELLUX_FAKE(SetCurCacheVesion, int64_t)
    PELLUX_FAKE(SetCurShareCacheVesion, int64_t)
    int64_t GetCurCacheVesion(int64_t) override { return Hit("GetCurCacheVesion") == S_OK ? 0 : -1; }
    int64_t GetCurShareCacheVesion(int64_t) override {
        return Hit("GetCurShareCacheVesion") == S_OK ? 0 : -1;
    }
    PELLUX_FAKE(GetFileInfoByPath, FakeStr, std::wstring*, bool)
    PELLUX_FAKE(GetFileSizeByPath, FakeStr, int64_t*, bool)
    PELLUX_FAKE(GetFileTimeByPath, FakeStr, std::wstring*, std::wstring*, bool)
    PELLUX_FAKE(EncodeFile, FakeStr, FakeStr, FakeStr, FakeStr)
    PELLUX_FAKE(DecodeFile, FakeStr, FakeStr, FakeStr)
    PELLUX_FAKE(GetTempFilePath, std::wstring*)
    PELLUX_FAKE(CopyFileToTempPathByFullPath, FakeStr, std::wstring*, bool)
    PELLUX_FAKE(MoveTempFileToSyncSpace, FakeStr, FakeStr, FakeStr, FakeStr)
    std::wstring GetFullPath(std::wstring*, FakeStr) override {
        Hit("GetFullPath");
        return std::wstring();
    }
    PELLUX_FAKE(LocalFullTextSearch, FakeStr, FakeItems)
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
    PELLUX_FAKE(Start)
    PELLUX_FAKE(Stop, int)
    PELLUX_FAKE(ExecuteTask, TaskDataBase*, XmlNode*, int)
    PELLUX_FAKE(AddTask, TaskDataBase*, bool, TaskCompletionCallback, void*)
    PELLUX_FAKE(CancelTask, FakeStr)
    PELLUX_FAKE(GetTaskList, bool, std::vector<TaskInfo>*)
    PELLUX_FAKE(RemoveFinishedTask, FakeStr)
    PELLUX_FAKE(RetryTask, FakeStr, TaskCompletionCallback, void*)

private:
    CEvent m_stop{true, false};
    std::thread m_thread;
};

class FakeFileSystem : public FakeComponent<IFileSystem> {
public:
    using FakeComponent::FakeComponent;
    HRESULT Init(ISyncCenter*, ILocalStorage* local, IRemoteStorage* remote, ITaskMgr* taskMgr) override {
        return local && remote && taskMgr ? Hit("Init") : E_POINTER;
    }
    PELLUX_FAKE(UnInit)
    PELLUX_FAKE(GetMaxVer, std::wstring*)
    PELLUX_FAKE(GetSpaceInfo, int64_t*, int64_t*, bool)
    PELLUX_FAKE(Dir, FakeStr, FakeItems, bool)
    PELLUX_FAKE(NewFolder, FakeStr, FakeStr, std::wstring*)
    PELLUX_FAKE(Rename, bool, FakeStr, FakeStr)
    PELLUX_FAKE(Move, bool, FakeStr, FakeStr)
    PELLUX_FAKE(Delete, bool, FakeStr)
    PELLUX_FAKE(OpenFile, FakeStr, FakeStr, FakeStr)
    PELLUX_FAKE(Download, FakeStr, FakeStr, FakeStr, FakeStr)
    PELLUX_FAKE(Upload, FakeStr, FakeStr, int, FakeStr, FakeStr)
    PELLUX_FAKE(DownloadFolder, FakeStr, FakeStr, FakeStr, FakeStr)
    PELLUX_FAKE(UploadFolder, FakeStr, int, FakeStr, FakeStr, const std::atomic<int32_t>*)
    PELLUX_FAKE(GetThumbnail, FakeStr, FakeStr, int, int)
    PELLUX_FAKE(FullTextSearch, FakeStr, int, FakeItems)
    PELLUX_FAKE(DirShareToOther, FakeStr, FakeStr, FakeItems, bool)
    PELLUX_FAKE(DirShareToMe, FakeStr, FakeStr, FakeItems, bool)
    PELLUX_FAKE(GetItemShareRight, FakeStr, std::vector<SharerInfo>*)
    PELLUX_FAKE(GetRecycle, FakeStr, int64_t, FakeItems)
    PELLUX_FAKE(CleanRecycle, FakeStr)
    PELLUX_FAKE(Recover, FakeStr, FakeStr)
    PELLUX_FAKE(CancelTask, FakeStr)
    PELLUX_FAKE(GetTaskList, bool, std::vector<TaskInfo>*)
    PELLUX_FAKE(RemoveFinishedTask, FakeStr)
    PELLUX_FAKE(RetryTask, FakeStr)
    PELLUX_FAKE(GetOpenFileList, std::vector<TaskInfo>*)
    PELLUX_FAKE(RemoveOpenFile, FakeStr)
    PELLUX_FAKE(GetOpenFileInfo, FakeStr, std::wstring*, std::wstring*, int*)
    PELLUX_FAKE(UploadOpenFileNow, FakeStr)
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
    PELLUX_FAKE(UnInit)
    PELLUX_FAKE(Start)
    PELLUX_FAKE(Stop)
};

// Hands a component to a maker's caller, who owns the reference.
template <class Made, class Itf>
HRESULT Give(Made* made, Itf** out) {
    made->AddRef();
    *out = made;
    return S_OK;
}

// A service client whose log-in replies are scripted; nothing else answers.
inline CComPtr<IRemoteStorage> ScriptedRemoteStorage(std::function<HRESULT(XmlNode*)> reply) {
    CComPtr<ForwardingRemoteStorage> remote(new ForwardingRemoteStorage(nullptr));
    remote->scriptedLogin = std::move(reply);
    return CComPtr<IRemoteStorage>(remote.get());
}

// Fakes for every component but the remote storage, which is the real client
// unless a scripted one is given.
inline CoreComponentMakers FakeMakers(FakeLog& log,
                                      CComPtr<IRemoteStorage> remote = CComPtr<IRemoteStorage>()) {
    CoreComponentMakers makers;
    makers.localStorage = [&log](ILocalStorage** out) {
        return Give(new FakeLocalStorage(log, "local"), out);
    };
    makers.taskMgr = [&log](ITaskMgr** out) { return Give(new FakeTaskMgr(log, "tasks"), out); };
    makers.fileSystem = [&log](IFileSystem** out) { return Give(new FakeFileSystem(log, "files"), out); };
    makers.eventCenter = [&log](IEventCenter** out) { return Give(new FakeEventCenter(log, "events"), out); };
    if (remote) {
        makers.remoteStorage = [remote](IRemoteStorage** out) { return Give(remote.get(), out); };
    } else {
        makers.remoteStorage = [](IRemoteStorage** out) { return CreateRemoteStorage(out); };
    }
    return makers;
}

}  // namespace pellux_test

#undef PELLUX_FAKE
#pragma GCC diagnostic pop
