#include "core/taskmgr/taskmgr.h"

#include <new>

#include "core/coreapp/isynccenter.h"
#include "core/filesystem/taskdata/taskdatabase.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "core/taskmgr/remotedispatch.h"

CTaskMgr::CTaskMgr(const TaskMgrTuning& tuning) : m_async(std::make_shared<CAsyncTaskMgr>(tuning)) {}

CTaskMgr::~CTaskMgr() {
    // Clusters and the tick thread end before the lists are freed.
    m_async->Stop(INFINITE_WAIT);
}

HRESULT CTaskMgr::CreateInstance(const TaskMgrTuning& tuning, ITaskMgr** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CTaskMgr* mgr = new (std::nothrow) CTaskMgr(tuning);
    if (!mgr)
        return E_FAIL;
    mgr->AddRef();
    *out = mgr;
    return S_OK;
}

HRESULT CTaskMgr::Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote) {
    if (!syncCenter)
        return E_POINTER;
    const HRESULT hr = syncCenter->GetLoginInfo(nullptr, nullptr, nullptr, nullptr);
    if (FAILED(hr))
        return hr;
    m_syncCenter = syncCenter;
    m_local = local;
    m_remote = remote;
    std::wstring token;
    if (syncCenter->GetLoginInfo(nullptr, &token, nullptr, nullptr) == S_OK)
        m_token = token;
    m_async->Init(syncCenter, local, remote);
    return hr;
}

HRESULT CTaskMgr::UnInit() {
    return S_OK;
}

HRESULT CTaskMgr::Start() {
    return m_async->Start();
}

HRESULT CTaskMgr::Stop(int timeoutMs) {
    return m_async->Stop(static_cast<uint32_t>(timeoutMs));
}

HRESULT CTaskMgr::ExecuteTask(TaskDataBase* record, XmlNode* reply, int tries) {
    if (tries < 1)
        return S_OK;
    if (!record)
        return E_POINTER;
    if (!m_remote)
        return E_FAIL;
    if (record->operationName != L"Login" && record->token.empty())
        record->token = m_token;
    HRESULT hr = S_OK;
    for (int left = tries; left > 0; --left) {
        if (reply)
            reply->Clear();
        hr = DispatchRecord(m_remote, record, reply);
        if (!IsTransportFailure(hr))
            break;
    }
    return hr;
}

HRESULT CTaskMgr::AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                          void* context) {
    return m_async->AddTask(record, noQueue, callback, context);
}

HRESULT CTaskMgr::CancelTask(const std::wstring& key) {
    return m_async->CancelTask(key);
}

HRESULT CTaskMgr::GetTaskList(bool finished, std::vector<TaskInfo>* out) {
    return m_async->GetTaskList(finished, out);
}

HRESULT CTaskMgr::RemoveFinishedTask(const std::wstring& key) {
    return m_async->RemoveFinishedTask(key);
}

HRESULT CTaskMgr::RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context) {
    return m_async->RetryTask(key, callback, context);
}

HRESULT CreateTaskMgr(ITaskMgr** out) {
    return CTaskMgr::CreateInstance(TaskMgrTuning(), out);
}

HRESULT CreateTaskMgr(const TaskMgrTuning& tuning, ITaskMgr** out) {
    return CTaskMgr::CreateInstance(tuning, out);
}
