#include "core/localstorage/localstorage/remoteitem.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <type_traits>
#include <utility>

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

namespace {

enum ReplyField {
    kType,
    kSha1,
    kSize,
    kOpVer,
    kFileVer,
    kName,
    kParentId,
    kFileId,
    kCreatedTime,
    kModTime,
    kModifier,
    kShared,
    kReplyFieldCount
};

const std::wstring kReplyFieldKeys[kReplyFieldCount] = {L"type",        L"sha1",    L"size",     L"opVer",
                                                        L"fileVer",     L"name",    L"parentId", L"fileId",
                                                        L"createdTime", L"modTime", L"modifier", L"shared"};

// One pass over the item's values: for each field the first value whose key
// matches, as XmlNode::GetValue finds it. Node is XmlNode when the texts may
// be moved out, const XmlNode when they are copied.
template <class Node>
void FillFromValues(RemoteItem& item, Node& node) {
    using Text = std::remove_reference_t<decltype((node.values[0].second))>;
    Text* found[kReplyFieldCount] = {};
    for (auto& value : node.values) {
        for (int field = 0; field < kReplyFieldCount; ++field) {
            const std::wstring& key = kReplyFieldKeys[field];
            if (!found[field] && value.first.size() == key.size() &&
                CompareNoCaseAscii(value.first, key) == 0) {
                found[field] = &value.second;
                break;
            }
        }
    }
    static const std::wstring kAbsent;
    auto text = [&](ReplyField field) -> const std::wstring& {
        return found[field] ? *found[field] : kAbsent;
    };
    // Copies from a const node, moves from any other.
    auto take = [&](ReplyField field, std::wstring& to) {
        if (found[field])
            to = std::move(*found[field]);
        else
            to.clear();
    };
    item.isFolder = CompareNoCaseAscii(text(kType), L"folder") == 0 ? 1 : 0;
    // Sizes are 64-bit: files of 2 GiB and more are common.
    item.size = ParseReplyInt64(text(kSize));
    item.opVer = ParseReplyInt(text(kOpVer));
    item.fileVer = ParseReplyInt(text(kFileVer));
    item.shared = ParseReplyInt(text(kShared)) != 0 ? 1 : 0;
    take(kSha1, item.sha1);
    take(kName, item.name);
    take(kParentId, item.parentId);
    take(kFileId, item.fileId);
    take(kCreatedTime, item.createdTime);
    take(kModTime, item.modTime);
    take(kModifier, item.modifier);
}

}  // namespace

void FillRemoteItemFromReply(RemoteItem& item, const XmlNode& node) {
    FillFromValues(item, node);
}

void TakeRemoteItemFromReply(RemoteItem& item, XmlNode& node) {
    FillFromValues(item, node);
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
