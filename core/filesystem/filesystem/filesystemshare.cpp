// The two sharing views. Shared-with-me groups the shared items by the person
// who shares them: the view's root lists one sharer folder per person (its id
// is the person's email) and such a folder lists that person's items.
#include <climits>

#include "base/log/tracestack.h"
#include "core/filesystem/filesystem/facaderecord.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "platform/strings.h"

namespace {

// An item of a sharing reply with its sharers, marked as shared.
RemoteItem SharedItemFromReply(const XmlNode& child) {
    RemoteItem item;
    FillRemoteItemFromReply(item, child);
    ParseSharerNodes(child, item.sharers);
    item.shared = 1;
    return item;
}

const XmlNode* FirstSharer(const XmlNode& child) {
    for (const XmlNode& element : child.children) {
        if (CompareNoCaseAscii(element.name, L"sharer") == 0)
            return &element;
    }
    return nullptr;
}

// "nick(email)", or the nick alone when it is the email.
std::wstring SharerDisplayName(const std::wstring& nickName, const std::wstring& email) {
    if (CompareNoCaseAscii(nickName, email) == 0)
        return nickName;
    return nickName + L"(" + email + L")";
}

}  // namespace

HRESULT CFileSystem::DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                                     std::vector<RemoteItem>* out, bool forceRefresh) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::DirShareToOther()", &hr,
                       L"szParentId = %s, szFullPath = %s, bForceRefress = %d", parentId, fullPath,
                       forceRefresh ? 1 : 0);
    if (!out)
        return hr = E_POINTER;
    // Inside a shared item the folders are the user's own.
    if (!parentId.empty())
        return hr = Dir(parentId, out, false);
    auto record = MakeFacadeRecord<TaskData_GetAllShareFile>(L"GetAllShareFile", m_token);
    if (record)
        record->toMe = 0;
    XmlNode reply;
    hr = RunQuery(record.get(), &reply, 2);
    if (FAILED(hr))
        return hr;
    for (const XmlNode& child : reply.children) {
        if (!child.GetValue(L"fileId").empty())
            out->push_back(SharedItemFromReply(child));
    }
    return hr;
}

HRESULT CFileSystem::DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                                  std::vector<RemoteItem>* out, bool forceRefresh) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::DirShareToMe()", &hr,
                       L"szParentId = %s, szFullPath = %s, bForceRefress = %d", parentId, fullPath,
                       forceRefresh ? 1 : 0);
    if (!out)
        return hr = E_POINTER;
    if (!m_local)
        return hr;
    const bool isRoot = parentId.empty();
    if (!isRoot && parentId.find(L'@') == std::wstring::npos)
        return hr = Dir(parentId, out, forceRefresh);

    const bool reuse = !forceRefresh && !m_shareToMeReply.children.empty() &&
                       m_shareVersion >= m_local->GetCurShareCacheVesion(0);
    if (!reuse) {
        m_shareToMeReply.Clear();
        m_shareVersion = INT64_MIN;
        auto record = MakeFacadeRecord<TaskData_GetAllShareFile>(L"GetAllShareFile", m_token);
        if (record)
            record->toMe = 1;
        hr = RunQuery(record.get(), &m_shareToMeReply, 2);
        if (FAILED(hr)) {
            m_shareToMeReply.Clear();
            return hr;
        }
        auto versions = MakeFacadeRecord<TaskData_GetRemoteOptVer>(L"GetRemoteOptVer", m_token);
        XmlNode versionReply;
        if (SUCCEEDED(RunQuery(versions.get(), &versionReply, 2))) {
            const int64_t shareVersion = ParseReplyVersion(versionReply, L"shareVer");
            if (shareVersion >= 0) {
                m_local->SetCurShareCacheVesion(shareVersion);
                m_shareVersion = shareVersion;
            }
        }
    }

    std::vector<RemoteItem> items;
    m_local->Lock();
    for (const XmlNode& child : m_shareToMeReply.children) {
        const XmlNode* sharer = FirstSharer(child);
        if (!sharer)
            continue;
        const std::wstring email = sharer->GetValue(L"email");
        if (isRoot) {
            RemoteItem folder;
            folder.isFolder = kSharerFolder;
            folder.name = SharerDisplayName(sharer->GetValue(L"nickName"), email);
            folder.fileId = email;
            bool known = false;
            for (const RemoteItem& item : items)
                known = known || CompareNoCaseAscii(item.name, folder.name) == 0;
            if (!known)
                items.push_back(folder);
        } else if (CompareNoCaseAscii(email, parentId) == 0 && !child.GetValue(L"fileId").empty()) {
            RemoteItem item = SharedItemFromReply(child);
            item.parentId = parentId;
            m_local->AddOrUpdateFileItem(item);
            items.push_back(std::move(item));
        }
    }
    // Sharer folders are not cached, so the root has nothing stale of its
    // own; its id is also the user's own root, whose rows must stay.
    hr = isRoot ? S_OK : m_local->DeleteStaleChildren(parentId);
    m_local->Unlock();
    AppendListing(items, out);
    return hr;
}

HRESULT CFileSystem::GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) {
    if (!m_local)
        return E_FAIL;
    return m_local->GetItemShareRight(id, out);
}
