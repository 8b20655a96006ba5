#pragma once
// The folder tree of every account: items, their rights and the changes that
// move whole subtrees (recycle, recover, purge).
#include <cstdint>
#include <string>
#include <vector>

#include "devserver/db.h"

namespace devserver {

struct Item {
    std::string id;
    std::string owner;
    std::string parent;  // "" in the root of the owner's files
    std::string name;
    bool folder = false;
    int64_t size = 0;
    std::string sha1;
    int64_t fileVer = 0;
    int64_t opVer = 0;
    std::string created;
    std::string modTime;
    std::string modifier;
    int state = 0;  // 0 live; 1 top of a recycled tree; 2 inside a recycled tree
    std::string blob;
    std::string fileKey;
    std::string blobSha1;
    std::string prevBlob;
    std::string prevKey;
    std::string prevBlobSha1;
    std::string prevSha1;
    int64_t prevSize = 0;
    int64_t prevFileVer = 0;
    std::string prevModTime;
};

// SHA-1 of no data: the content digest of a file entry that was never uploaded.
extern const char kEmptySha1[];

// Rights of a user on a live item.
enum ItemRights : int {
    kRightNone = 0,   // item exists but the user may not see it
    kRightRead = 1,   // shared with the user for reading
    kRightWrite = 2,  // shared with the user for writing
    kRightOwner = 7,  // the user's own item
};

bool GetItem(Db& db, const std::string& id, Item* item);
// Rights of userId on the live item; -1 when it does not exist or is recycled.
int ItemRightsFor(Db& db, const std::string& userId, const std::string& id, Item* item);
// Live children of a folder ("" = root of owner's files).
std::vector<Item> LiveChildren(Db& db, const std::string& owner, const std::string& parent);
// The live sibling with this name (ASCII case-insensitive), other than exceptId.
bool FindLiveByName(Db& db, const std::string& owner, const std::string& parent, const std::string& name,
                    const std::string& exceptId, Item* found);
// Names the service stores: non-empty, at most 255 bytes, valid UTF-8, no
// "\", "/" or control characters, not "." or "..".
bool IsValidName(const std::string& name);

std::string NewItemId(Db& db);
void InsertItem(Db& db, const Item& item);
// Users besides the owner that see the item through a share on it or above it.
std::vector<std::string> ShareRecipients(Db& db, const Item& item);
// Records a visible change: raises the owner's opVer (the item's new opVer is
// returned) and the opVer and shareVer of everyone it is shared with.
int64_t TouchItem(Db& db, const Item& item, const std::string& device);
// Raises the versions of the owner and recipients without an item change.
void TouchUsers(Db& db, const std::string& owner, const std::vector<std::string>& recipients,
                const std::string& device);

// Moves a live item to the recycle bin (its live descendants hide with it).
void RecycleItem(Db& db, const Item& item, int64_t opVer);
// Brings a recycled tree back under newParent.
void RecoverItem(Db& db, const Item& item, const std::string& newParent, int64_t opVer);
// Removes the item and its whole subtree; returns the blob files to delete.
std::vector<std::string> PurgeItem(Db& db, const Item& item);
// True when candidate is item or lies below it.
bool IsSameOrBelow(Db& db, const std::string& candidate, const std::string& item);

}  // namespace devserver
