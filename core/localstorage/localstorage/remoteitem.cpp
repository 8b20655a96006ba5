#include "core/localstorage/localstorage/remoteitem.h"

#include <algorithm>
#include <climits>
#include <limits>

#include "core/remotestorage/remotestorage/utf16order.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/strings.h"

int64_t ParseReplyVersion(const XmlNode& reply, const wchar_t* key) {
    const std::wstring text = reply.GetValue(key);
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos || text[first] < L'0' || text[first] > L'9')
        return -1;
    return ParseReplyInt64(text);
}

int ParseSharerRights(const std::wstring& text) {
    int rights = 0;
    if (text.find(L"read") != std::wstring::npos)
        rights |= kSharerRead;
    if (text.find(L"write") != std::wstring::npos)
        rights |= kSharerWrite;
    return rights;
}

void FillRemoteItemFromReply(RemoteItem& item, const XmlNode& node) {
    item.isFolder = CompareNoCaseAscii(node.GetValue(L"type"), L"folder") == 0 ? 1 : 0;
    item.sha1 = node.GetValue(L"sha1");
    // Sizes are 64-bit: files of 2 GiB and more are common.
    item.size = ParseReplyInt64(node.GetValue(L"size"));
    item.opVer = ParseReplyInt(node.GetValue(L"opVer"));
    item.fileVer = ParseReplyInt(node.GetValue(L"fileVer"));
    item.name = node.GetValue(L"name");
    item.parentId = node.GetValue(L"parentId");
    item.fileId = node.GetValue(L"fileId");
    item.createdTime = node.GetValue(L"createdTime");
    item.modTime = node.GetValue(L"modTime");
    item.modifier = node.GetValue(L"modifier");
    item.shared = ParseReplyInt(node.GetValue(L"shared")) != 0 ? 1 : 0;
}

void ParseSharerNodes(const XmlNode& node, std::vector<SharerInfo>& sharers) {
    for (const XmlNode& child : node.children) {
        if (child.name != L"sharer")
            continue;
        SharerInfo sharer;
        sharer.nickName = child.GetValue(L"nickName");
        sharer.userId = child.GetValue(L"userId");
        sharer.email = child.GetValue(L"email");
        sharer.rights = ParseSharerRights(child.GetValue(L"right"));
        sharers.push_back(sharer);
    }
}

bool RemoteItemNameLess(const RemoteItem& a, const RemoteItem& b) {
    return CompareUtf16Ordinal(a.name, b.name) < 0;
}

void SortRemoteItemsByName(std::vector<RemoteItem>& items) {
    std::stable_sort(items.begin(), items.end(), RemoteItemNameLess);
}
