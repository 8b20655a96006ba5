#include "core/remotestorage/remotestorage/remotestorage.h"

#include <new>
#include <utility>

#include "base/log/tracestack.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "platform/strings.h"

namespace {

using Id = RemoteOperationId;

// The trace's parameter line: the request fields with their values, the
// password never among them.
std::wstring TraceParams(const RemoteOperation& operation, const std::vector<std::wstring>& values) {
    std::wstring line;
    for (size_t i = 0; i < operation.fields.size() && i < values.size(); ++i) {
        if (!line.empty())
            line += L", ";
        line += operation.fields[i];
        line += L" = ";
        line += std::wstring(operation.fields[i]) == L"password" ? L"__password__" : values[i];
    }
    return line;
}

std::wstring Decimal(int64_t value) {
    return std::to_wstring(value);
}

std::wstring JoinSharers(const std::vector<std::wstring>& sharers) {
    std::wstring out;
    for (size_t i = 0; i < sharers.size(); ++i) {
        if (i > 0)
            out += L",";
        out += sharers[i];
    }
    return out;
}

const wchar_t* TrueFalse(bool flag) {
    return flag ? L"true" : L"false";
}

}  // namespace

HRESULT CreateRemoteStorage(IRemoteStorage** out) {
    return CRemoteStorage::CreateInstance(out);
}

HRESULT CRemoteStorage::CreateInstance(IRemoteStorage** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CRemoteStorage* storage = new (std::nothrow) CRemoteStorage();
    if (!storage)
        return E_FAIL;
    storage->AddRef();
    *out = storage;
    return S_OK;
}

HRESULT CRemoteStorage::Init() {
    return S_OK;
}

HRESULT CRemoteStorage::UnInit() {
    return S_OK;
}

HRESULT CRemoteStorage::_HttpRequest(const RemoteOperation& operation, const std::wstring& path,
                                     const std::wstring* document, TransportProgressCallback progress,
                                     void* context, XmlNode& reply) {
    CComPtr<ITransport> transport;
    HRESULT hr = TransportCreator()(&transport);
    if (FAILED(hr))
        return hr;
    if (!transport)
        return E_FAIL;
    if (progress)
        transport->SetProgressCallback(progress, context);
    const std::wstring url = ReadServerRoot(operation.root) + path;
    const std::wstring headers = Utf8ToWide(BuildRequestHeaders(operation.headerVersion));
    std::wstring text;
    hr = transport->Request(url.c_str(), headers.c_str(), document ? document->c_str() : nullptr, &text,
                            operation.timeoutSeconds, true);
    // The transfer object keeps the body and its decoded text: a large
    // listing is not held three times over while it is parsed.
    transport.Release();
    if (FAILED(hr))
        return hr;
    return JudgeReplyText(std::move(text), reply);
}

HRESULT CRemoteStorage::_RunOperation(RemoteOperationId id, const std::vector<std::wstring>& values,
                                      TransportProgressCallback progress, void* context, XmlNode* reply) {
    const RemoteOperation& operation = GetRemoteOperation(id);
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(operation.traceName, &hr, L"%s", TraceParams(operation, values));
    if (!reply)
        return hr = E_POINTER;
    const std::wstring document = BuildRequestDocument(operation, values);
    hr = _HttpRequest(operation, operation.path, &document, progress, context, *reply);
    return hr;
}

HRESULT CRemoteStorage::Login(const TaskData_Login* data, TransportProgressCallback progress, void* context,
                              XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kLogin,
                         {data->user, data->password, data->deviceId, data->clientName, data->clientVersion},
                         progress, context, reply);
}

HRESULT CRemoteStorage::ReLogin(const TaskData_ReLogin* data, TransportProgressCallback progress,
                                void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kReLogin, {data->token, data->deviceId, L"pellux"}, progress, context, reply);
}

HRESULT CRemoteStorage::GetSpace(const TaskData_GetSpace* data, TransportProgressCallback progress,
                                 void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetSpace, {data->token}, progress, context, reply);
}

HRESULT CRemoteStorage::GetMaxVers(const TaskData_GetRemoteOptVer* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetMaxVers, {data->token}, progress, context, reply);
}

HRESULT CRemoteStorage::GetRecycle(const TaskData_GetRecycle* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetRecycle, {data->token, data->opVer, Decimal(data->size)}, progress, context,
                         reply);
}

HRESULT CRemoteStorage::CleanRecycle(const TaskData_CleanRecycle* data, TransportProgressCallback progress,
                                     void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kCleanRecycle, {data->token, data->key}, progress, context, reply);
}

HRESULT CRemoteStorage::Recover(const TaskData_Recover* data, TransportProgressCallback progress,
                                void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kRecover, {data->token, data->key, data->parentId}, progress, context, reply);
}

HRESULT CRemoteStorage::PushNotify(const TaskData_PushNotify* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) {
    const RemoteOperation& operation = GetRemoteOperation(Id::kPushNotify);
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(operation.traceName, &hr, L"uid = %s", data ? data->userId : std::wstring());
    if (!data || !reply)
        return hr = E_POINTER;
    XmlNode query;
    query.AddValue(L"uid", data->userId);
    const std::wstring path = operation.path + query.ToQueryString(L'&', L'=');
    hr = _HttpRequest(operation, path, nullptr, progress, context, *reply);
    return hr;
}

HRESULT CRemoteStorage::GetNormalItemSnapshot(const TaskData_ItemSnapshot* data,
                                              TransportProgressCallback progress, void* context,
                                              XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetNormalItemSnapshot, {data->token, data->opVer, data->size}, progress,
                         context, reply);
}

HRESULT CRemoteStorage::GetDeletedItemSnapshot(const TaskData_ItemSnapshot* data,
                                               TransportProgressCallback progress, void* context,
                                               XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetDeletedItemSnapshot, {data->token, data->opVer, data->size}, progress,
                         context, reply);
}

HRESULT CRemoteStorage::GetAllShareFile(const TaskData_GetAllShareFile* data,
                                        TransportProgressCallback progress, void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetAllShareFile, {data->token, data->toMe != 0 ? L"toMe" : L"out"}, progress,
                         context, reply);
}

HRESULT CRemoteStorage::Dir(const TaskData_Dir* data, TransportProgressCallback progress, void* context,
                            XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kDir, {data->token, data->key}, progress, context, reply);
}

HRESULT CRemoteStorage::Delete(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                               XmlNode*) {
    if (!data)
        return E_POINTER;
    XmlNode own;
    return _RunOperation(Id::kDelete, {data->token, data->key}, progress, context, &own);
}

HRESULT CRemoteStorage::DeleteEx(const TaskData_Delete* data, TransportProgressCallback progress,
                                 void* context, XmlNode*) {
    if (!data)
        return E_POINTER;
    XmlNode own;
    return _RunOperation(Id::kDeleteEx, {data->token, data->key}, progress, context, &own);
}

HRESULT CRemoteStorage::Rename(const TaskData_Rename* data, TransportProgressCallback progress, void* context,
                               XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kRename, {data->token, data->key, data->name}, progress, context, reply);
}

HRESULT CRemoteStorage::NewFolder(const TaskData_DirectoryAdd* data, TransportProgressCallback progress,
                                  void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kNewFolder, {data->token, data->parentId, data->name}, progress, context, reply);
}

HRESULT CRemoteStorage::Move(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                             XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kMove, {data->token, data->key, data->parentId, data->name}, progress, context,
                         reply);
}

HRESULT CRemoteStorage::MoveEx(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                               XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kMoveEx, {data->token, data->key, data->parentId, data->name}, progress, context,
                         reply);
}

HRESULT CRemoteStorage::NewFile(const TaskData_NewFile* data, TransportProgressCallback progress,
                                void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kNewFile, {data->token, data->parentId, data->name}, progress, context, reply);
}

HRESULT CRemoteStorage::UpdateFile(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kUpdateFile,
                         {data->token, data->fileVer, data->sourceSize, data->key, data->sourceSha1},
                         progress, context, reply);
}

HRESULT CRemoteStorage::FullTextSearch(const TaskData_FullTextSearch* data,
                                       TransportProgressCallback progress, void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kFullTextSearch, {data->token, data->searchText, Decimal(data->searchType)},
                         progress, context, reply);
}

HRESULT CRemoteStorage::GetItemInfo(const TaskData_GetItemInfo* data, TransportProgressCallback progress,
                                    void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kGetItemInfo, {data->token, data->key}, progress, context, reply);
}

HRESULT CRemoteStorage::ShareFile(const TaskData_ShareFile* data, TransportProgressCallback progress,
                                  void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kShareFile,
                         {data->token, data->key, JoinSharers(data->sharers), TrueFalse(data->writable),
                          TrueFalse(data->sendMail)},
                         progress, context, reply);
}

HRESULT CRemoteStorage::SetFileModTime(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                                       void* context, XmlNode* reply) {
    if (!data)
        return E_POINTER;
    return _RunOperation(Id::kSetFileModTime, {data->token, data->key, data->modTime}, progress, context,
                         reply);
}
