#include "core/filesystem/filesystem/filesystem.h"

#include <new>

#include "base/log/tracestack.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "core/coreapp/isynccenter.h"
#include "core/filesystem/filesystem/facaderecord.h"
#include "core/filesystem/filesystem/filesyncmgrops.h"
#include "core/remotestorage/remotestorage/resultcodes.h"

namespace {

constexpr wchar_t kCaption[] = L"Orvane便携版";

// Turns each listed item into its record while the reply is parsed, so the
// reply's tree of a large folder is never built whole.
class ListingSink : public XmlChildSink {
public:
    explicit ListingSink(const std::wstring& parentId) : m_parentId(parentId) {}

    void TakeChild(XmlNode& child) override {
        RemoteItem& item = items.emplace_back();
        TakeRemoteItemFromReply(item, child);
        if (item.fileId.empty()) {
            items.pop_back();
            return;
        }
        // The service names the root by an id of its own; the cache keys the
        // listing by the id it was asked for, or the next read finds nothing.
        item.parentId = m_parentId;
    }

    std::vector<RemoteItem> items;

private:
    const std::wstring& m_parentId;
};

}  // namespace

HRESULT CreateFileSystem(IFileSystem** out) {
    return CFileSystem::CreateInstance(out);
}

HRESULT CFileSystem::CreateInstance(IFileSystem** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CFileSystem* facade = new (std::nothrow) CFileSystem();
    if (!facade)
        return E_FAIL;
    facade->m_fileSync.reset(new (std::nothrow) CFileSyncMgrOps());
    if (!facade->m_fileSync) {
        delete facade;
        return E_FAIL;
    }
    facade->AddRef();
    *out = facade;
    return S_OK;
}

CFileSyncMgr* CFileSystem::FileSyncMgr() {
    CFileSyncMgrOps* ops = dynamic_cast<CFileSyncMgrOps*>(m_fileSync.get());
    return ops ? &ops->Manager() : nullptr;
}

HRESULT CFileSystem::Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                          ITaskMgr* taskMgr) {
    if (!syncCenter || !local || !taskMgr)
        return E_POINTER;
    m_syncCenter = syncCenter;
    m_local = local;
    m_remote = remote;
    m_taskMgr = taskMgr;
    m_spaceUsed = -1;
    m_spaceTotal = -1;
    std::wstring token;
    if (syncCenter->GetLoginInfo(nullptr, &token, nullptr, nullptr) != S_OK)
        return E_FAIL;
    m_token = token;
    if (m_fileSync) {
        CComPtr<ITaskMgr> centerTaskMgr;
        syncCenter->GetInterface(ITaskMgr::Iid(), reinterpret_cast<void**>(&centerTaskMgr));
        const HRESULT hr =
            m_fileSync->Init(syncCenter, local, remote, centerTaskMgr ? centerTaskMgr.get() : taskMgr);
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = RefreshCacheVersion(3);
    // A failed Init leaves nothing running behind it.
    if (FAILED(hr) && m_fileSync)
        m_fileSync->UnInit();
    return hr;
}

HRESULT CFileSystem::UnInit() {
    m_shareToMeReply.Clear();
    m_shareVersion = INT64_MIN;
    m_spaceUsed = -1;
    m_spaceTotal = -1;
    return m_fileSync ? m_fileSync->UnInit() : S_OK;
}

HRESULT CFileSystem::RefreshCacheVersion(int tries) {
    auto record = MakeFacadeRecord<TaskData_GetRemoteOptVer>(L"GetRemoteOptVer", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    XmlNode reply;
    const HRESULT hr = m_taskMgr->ExecuteTask(record.get(), &reply, tries);
    if (SUCCEEDED(hr)) {
        const int64_t version = ParseReplyVersion(reply, L"opVer");
        if (version >= 0)
            m_local->SetCurCacheVesion(version);
    }
    return hr;
}

HRESULT CFileSystem::GetMaxVer(std::wstring* opVer) {
    if (!m_taskMgr)
        return E_FAIL;
    auto record = MakeFacadeRecord<TaskData_GetRemoteOptVer>(L"GetMaxVer", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    XmlNode reply;
    const HRESULT hr = m_taskMgr->ExecuteTask(record.get(), &reply, 3);
    if (SUCCEEDED(hr) && opVer)
        *opVer = reply.GetValue(L"opVer");
    return hr;
}

HRESULT CFileSystem::GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CFileSystem::GetSpaceInfo()", &hr, L"bForceRefress = %d", forceRefresh ? 1 : 0);
    if (!m_taskMgr)
        return hr = E_FAIL;
    if (m_spaceUsed == -1 || forceRefresh) {
        auto record = MakeFacadeRecord<TaskData_GetSpace>(L"GetSpace", m_token);
        if (!record)
            return hr = E_OUTOFMEMORY;
        XmlNode reply;
        hr = m_taskMgr->ExecuteTask(record.get(), &reply, 2);
        if (FAILED(hr))
            return hr;
        m_spaceUsed = ParseReplyInt64(reply.GetValue(L"used"));
        m_spaceTotal = ParseReplyInt64(reply.GetValue(L"total"));
    }
    if (used)
        *used = m_spaceUsed;
    if (total)
        *total = m_spaceTotal;
    return hr;
}

HRESULT CFileSystem::Dir(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::Dir()", &hr, L"szParentId = %s", parentId);
    if (!out)
        return hr = E_POINTER;
    HRESULT unreachable = S_OK;
    return hr = ListFolder(parentId, out, forceRefresh, &unreachable);
}

HRESULT CFileSystem::ListFolder(const std::wstring& parentId, std::vector<RemoteItem>* out, bool forceRefresh,
                                HRESULT* unreachable) {
    *unreachable = S_OK;
    if (!m_local || !m_taskMgr)
        return E_FAIL;
    // Rows reach out only when the whole listing succeeded: a cache read that
    // stops at a damaged row must not leave half a listing for the next read
    // to append to.
    std::vector<RemoteItem> items;
    HRESULT hr = E_FAIL;
    if (!forceRefresh && m_local->FolderNeedUpdate(parentId) == S_OK) {
        hr = m_local->GetLastSyncSnapshot(parentId, &items);
        if (hr == S_OK) {
            AppendListing(items, out);
            return hr;
        }
        items.clear();
    }

    auto record = MakeFacadeRecord<TaskData_Dir>(L"Dir", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    record->key = parentId;
    ListingSink sink(parentId);
    XmlNode reply;
    reply.childSink = &sink;
    hr = m_taskMgr->ExecuteTask(record.get(), &reply, 2);
    if (FAILED(hr)) {
        // Only a service that cannot be reached lets the cache stand in for
        // it; a refusal (an expired token, a folder gone) reaches the caller.
        if (!IsTransportFailure(hr))
            return hr;
        *unreachable = hr;
        hr = m_local->GetLastSyncSnapshot(parentId, &items);
        if (SUCCEEDED(hr))
            AppendListing(items, out);
        return hr;
    }
    items.swap(sink.items);

    m_local->Lock();
    m_local->AddOrUpdateFileItems(items);
    m_local->DeleteStaleChildren(parentId);
    // Rows rolled back by a failed COMMIT must not be stamped fresh, or the
    // next listing would come from a cache that lacks them.
    if (FAILED(m_local->Unlock())) {
        AppendListing(items, out);
        return S_OK;
    }

    RefreshCacheVersion(2);
    hr = m_local->UpdateFolderCacheVesion(parentId);
    if (SUCCEEDED(hr))
        AppendListing(items, out);
    return hr;
}

HRESULT CFileSystem::NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                               std::wstring* newId) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::NewFolder()", &hr, L"szParentId = %s, szFullPath = %s", parentId,
                       fullPath);
    if (!m_taskMgr)
        return hr;
    auto record = MakeFacadeRecord<TaskData_DirectoryAdd>(L"CreateDirectory", m_token);
    if (!record)
        return hr = E_OUTOFMEMORY;
    record->parentId = parentId;
    record->itemPath = fullPath;
    record->name = GetRemoteFileName(fullPath);
    record->isFolder = 1;
    record->isUpload = 1;
    XmlNode reply;
    hr = m_taskMgr->ExecuteTask(record.get(), &reply, 3);
    if ((hr == S_OK || hr == E_RESULT_TARGET_EXIST) && newId)
        *newId = reply.GetValue(L"fileId");
    return hr;
}

HRESULT CFileSystem::Rename(bool isFolder, const std::wstring& fileId, const std::wstring& newName) {
    if (!m_taskMgr)
        return E_FAIL;
    auto record = MakeFacadeRecord<TaskData_Rename>(isFolder ? L"RenameDirectory" : L"EditFile", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    record->key = fileId;
    record->name = newName;
    record->isFolder = isFolder ? 1 : 0;
    XmlNode reply;
    return m_taskMgr->ExecuteTask(record.get(), &reply, 3);
}

HRESULT CFileSystem::Move(bool isFolder, const std::wstring& fileId, const std::wstring& newParentId) {
    if (!m_taskMgr)
        return E_FAIL;
    auto record = MakeFacadeRecord<TaskData_Move>(isFolder ? L"MoveDirectory" : L"MoveFile", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    record->key = fileId;
    record->parentId = newParentId;
    record->isFolder = isFolder ? 1 : 0;
    XmlNode reply;
    const HRESULT hr = m_taskMgr->ExecuteTask(record.get(), &reply, 3);
    if (hr == E_RESULT_TARGET_EXIST) {
        // The user learns why nothing moved; merging or replacing is not offered.
        if (isFolder)
            AskUser(L"Wizard_MoveFolderExist", L"该文件夹已经存在，是否进行文件合并?", L"确定|取消");
        else
            AskUser(L"Wizard_MoveFileExist", L"该文件已经存在，请选择以下操作方式。", L"替换|更新|取消");
    }
    return hr;
}

HRESULT CFileSystem::Delete(bool isFolder, const std::wstring& fileId) {
    if (!m_taskMgr)
        return E_FAIL;
    auto record = MakeFacadeRecord<TaskData_Delete>(isFolder ? L"DeleteDirectory" : L"DeleteFile", m_token);
    if (!record)
        return E_OUTOFMEMORY;
    record->key = fileId;
    record->isFolder = isFolder ? 1 : 0;
    return m_taskMgr->ExecuteTask(record.get(), nullptr, 3);
}

int CFileSystem::AskUser(const std::wstring& rememberKey, const std::wstring& text,
                         const std::wstring& buttons, int flag, const std::wstring& checkText) {
    return GetCoreAccess().AskUser(rememberKey, text, kCaption, buttons, flag, checkText, -1);
}

void CFileSystem::ShowMessage(const std::wstring& text) {
    GetCoreAccess().ShowMessage(text, kCaption);
}

HRESULT CFileSystem::RunQuery(TaskDataBase* record, XmlNode* reply, int tries) {
    if (!m_taskMgr)
        return E_FAIL;
    if (!record)
        return E_OUTOFMEMORY;
    return m_taskMgr->ExecuteTask(record, reply, tries);
}
