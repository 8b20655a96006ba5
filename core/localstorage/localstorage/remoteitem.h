#pragma once
// One row of a remote listing and the people it is shared with, as every
// listing, the database cache and the explorer carry them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/strings.h"

class XmlNode;

struct SharerInfo {
    std::wstring nickName;
    std::wstring userId;
    std::wstring email;
    // Bit set of kSharerRead and kSharerWrite; 0 = no rights.
    int rights = 0;
};

constexpr int kSharerRead = 1;
constexpr int kSharerWrite = 2;

struct RemoteItem {
    // 1 folder, 0 file, kSharerFolder for a person's entry in the root of the
    // shared-with-me view.
    int isFolder = 0;
    // 40 lowercase hex digits; empty for folders.
    std::wstring sha1;
    int64_t size = 0;
    // Operation version of the item on the service.
    int opVer = 0;
    // Content version of the file.
    int fileVer = 0;
    // Path of the local copy; no reply fills it.
    std::wstring localPath;
    std::wstring name;
    // Empty for the root.
    std::wstring parentId;
    std::wstring fileId;
    // Time texts as the service sends them.
    std::wstring createdTime;
    std::wstring modTime;
    std::wstring modifier;
    // Non-zero when the item is shared.
    int shared = 0;
    std::vector<SharerInfo> sharers;
};

constexpr int kSharerFolder = 0x11;

// Fills the fields a reply item element carries; localPath and sharers are
// left as they are.
void FillRemoteItemFromReply(RemoteItem& item, const XmlNode& node);
// Appends one SharerInfo per child element named exactly "sharer", in order.
void ParseSharerNodes(const XmlNode& node, std::vector<SharerInfo>& sharers);
// kSharerRead for "read", kSharerWrite for "write" anywhere in the text
// (case-sensitive), both for both.
int ParseSharerRights(const std::wstring& text);
// A version ("opVer", "shareVer") of a reply; -1 when the reply has no number
// there, since reading an absent version as 0 makes every stale folder fresh.
int64_t ParseReplyVersion(const XmlNode& reply, const wchar_t* key);

// Order by name: ordinal over UTF-16 code units, case-sensitive (B before a).
bool RemoteItemNameLess(const RemoteItem& a, const RemoteItem& b);
void SortRemoteItemsByName(std::vector<RemoteItem>& items);
