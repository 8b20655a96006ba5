// The recycle bin and the full-text search.
#include <climits>
#include <set>

#include "base/log/tracestack.h"
#include "core/filesystem/filesystem/facaderecord.h"
#include "core/filesystem/filesystem/filesystem.h"

HRESULT CFileSystem::GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::GetRecycle()", &hr, L"szOpVersion = %s, lSize = %ld", opVersion, size);
    if (!out)
        return hr = E_POINTER;
    auto record = MakeFacadeRecord<TaskData_GetRecycle>(L"GetRecycle", m_token);
    if (record) {
        record->opVer = opVersion;
        record->size = size > INT_MAX ? INT_MAX : (size < 0 ? 0 : static_cast<int>(size));
    }
    XmlNode reply;
    hr = RunQuery(record.get(), &reply, 2);
    if (FAILED(hr))
        return hr;
    for (const XmlNode& child : reply.children) {
        if (child.GetValue(L"fileId").empty())
            continue;
        RemoteItem item;
        FillRemoteItemFromReply(item, child);
        item.parentId.clear();
        item.shared = ParseReplyInt(child.GetValue(L"shared"));
        out->push_back(std::move(item));
    }
    return hr;
}

HRESULT CFileSystem::CleanRecycle(const std::wstring& fileId) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::CleanRecycle()", &hr, L"fileId = %s", fileId);
    auto record = MakeFacadeRecord<TaskData_CleanRecycle>(L"CleanRecycle", m_token);
    if (record)
        record->key = fileId;
    XmlNode reply;
    return hr = RunQuery(record.get(), &reply, 3);
}

HRESULT CFileSystem::Recover(const std::wstring& fileId, const std::wstring& parentId) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::Recover()", &hr, L"fileId = %s, parentId = %s", fileId, parentId);
    auto record = MakeFacadeRecord<TaskData_Recover>(L"Recover", m_token);
    if (record) {
        record->key = fileId;
        record->parentId = parentId;
    }
    XmlNode reply;
    return hr = RunQuery(record.get(), &reply, 3);
}

HRESULT CFileSystem::FullTextSearch(const std::wstring& searchText, int searchType,
                                    std::vector<RemoteItem>* out) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::FullTextSearch()", &hr, L"searchText = %s", searchText);
    if (!out)
        return hr = E_POINTER;
    if (!m_local)
        return hr;
    auto record = MakeFacadeRecord<TaskData_FullTextSearch>(L"FullTextSearch", m_token);
    if (record) {
        record->searchText = searchText;
        record->searchType = searchType;
    }
    // A service that cannot answer leaves only the cached matches.
    std::vector<RemoteItem> found;
    XmlNode reply;
    if (SUCCEEDED(RunQuery(record.get(), &reply, 2))) {
        for (const XmlNode& child : reply.children) {
            if (child.GetValue(L"fileId").empty())
                continue;
            RemoteItem item;
            FillRemoteItemFromReply(item, child);
            item.shared = ParseReplyInt(child.GetValue(L"shared"));
            found.push_back(std::move(item));
        }
    }
    std::vector<RemoteItem> cached;
    hr = m_local->LocalFullTextSearch(searchText, &cached);
    // One entry per item: the service's copy wins over the cached one. Two
    // different items may share a name and both belong in the result.
    std::set<std::wstring> ids;
    for (const RemoteItem& item : found)
        ids.insert(item.fileId);
    for (RemoteItem& item : cached) {
        if (ids.insert(item.fileId).second)
            found.push_back(std::move(item));
    }
    SortRemoteItemsByName(found);
    AppendListing(found, out);
    return hr;
}
