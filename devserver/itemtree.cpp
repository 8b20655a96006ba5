#include "devserver/itemtree.h"

#include <algorithm>
#include <set>

#include "devserver/accounts.h"

namespace devserver {

const char kEmptySha1[] = "da39a3ee5e6b4b0d3255bfef95601890afd80709";

namespace {

const char kItemColumns[] =
    "id, owner, parent, name, folder, size, sha1, fileVer, opVer, created, modTime, modifier, state, blob,"
    " fileKey, blobSha1, prevBlob, prevKey, prevBlobSha1, prevSha1, prevSize, prevFileVer, prevModTime";

Item ToItem(const DbRow& r) {
    Item i;
    i.id = r[0];
    i.owner = r[1];
    i.parent = r[2];
    i.name = r[3];
    i.folder = r[4] == "1";
    i.size = std::stoll(r[5]);
    i.sha1 = r[6];
    i.fileVer = std::stoll(r[7]);
    i.opVer = std::stoll(r[8]);
    i.created = r[9];
    i.modTime = r[10];
    i.modifier = r[11];
    i.state = std::stoi(r[12]);
    i.blob = r[13];
    i.fileKey = r[14];
    i.blobSha1 = r[15];
    i.prevBlob = r[16];
    i.prevKey = r[17];
    i.prevBlobSha1 = r[18];
    i.prevSha1 = r[19];
    i.prevSize = std::stoll(r[20]);
    i.prevFileVer = std::stoll(r[21]);
    i.prevModTime = r[22];
    return i;
}

std::vector<Item> ToItems(const std::vector<DbRow>& rows) {
    std::vector<Item> items;
    for (const auto& r : rows) {
        items.push_back(ToItem(r));
    }
    return items;
}

// The item's ancestors from its parent up to the top.
std::vector<Item> Ancestors(Db& db, const Item& item) {
    std::vector<Item> chain;
    std::set<std::string> seen{item.id};
    std::string parent = item.parent;
    while (!parent.empty() && seen.insert(parent).second) {
        Item p;
        if (!GetItem(db, parent, &p)) {
            break;
        }
        chain.push_back(p);
        parent = p.parent;
    }
    return chain;
}

// Well-formed UTF-8 only: no overlong forms, surrogates or code points
// above U+10FFFF, which other parties would read differently.
bool ValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (c < 0x80) {
            extra = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (s.size() - i - 1 < extra) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(s[i + k]);
            if (k == 1 ? (next < low || next > high) : (next >> 6) != 2) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace

bool GetItem(Db& db, const std::string& id, Item* item) {
    if (id.empty()) {
        return false;
    }
    auto rows = db.Query(std::string("SELECT ") + kItemColumns + " FROM items WHERE id = ?", {id});
    if (rows.empty()) {
        return false;
    }
    *item = ToItem(rows[0]);
    return true;
}

int ItemRightsFor(Db& db, const std::string& userId, const std::string& id, Item* item) {
    Item it;
    if (!GetItem(db, id, &it) || it.state != 0) {
        return -1;
    }
    if (item) {
        *item = it;
    }
    if (it.owner == userId) {
        return kRightOwner;
    }
    int rights = static_cast<int>(
        db.ScalarInt("SELECT rights FROM shares WHERE item = ? AND user = ?", {it.id, userId}, 0));
    for (const Item& a : Ancestors(db, it)) {
        if (a.state != 0) {
            return -1;
        }
        rights |= static_cast<int>(
            db.ScalarInt("SELECT rights FROM shares WHERE item = ? AND user = ?", {a.id, userId}, 0));
    }
    return rights;
}

std::vector<Item> LiveChildren(Db& db, const std::string& owner, const std::string& parent) {
    std::string sql = std::string("SELECT ") + kItemColumns + " FROM items WHERE parent = ? AND state = 0";
    if (parent.empty()) {
        return ToItems(db.Query(sql + " AND owner = ? ORDER BY folder DESC, name", {parent, owner}));
    }
    return ToItems(db.Query(sql + " ORDER BY folder DESC, name", {parent}));
}

bool FindLiveByName(Db& db, const std::string& owner, const std::string& parent, const std::string& name,
                    const std::string& exceptId, Item* found) {
    std::string sql = std::string("SELECT ") + kItemColumns +
                      " FROM items WHERE parent = ? AND state = 0 AND name = ? COLLATE NOCASE AND id <> ?";
    auto rows = parent.empty() ? db.Query(sql + " AND owner = ?", {parent, name, exceptId, owner})
                               : db.Query(sql, {parent, name, exceptId});
    if (rows.empty()) {
        return false;
    }
    if (found) {
        *found = ToItem(rows[0]);
    }
    return true;
}

bool IsValidName(const std::string& name) {
    if (name.empty() || name.size() > 255 || name == "." || name == "..") {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/') {
            return false;
        }
    }
    return ValidUtf8(name);
}

std::string NewItemId(Db& db) {
    int64_t next = db.ScalarInt("SELECT value FROM meta WHERE key = 'nextItem'", {}, 100) + 1;
    db.Exec("INSERT OR REPLACE INTO meta(key, value) VALUES('nextItem', ?)", {std::to_string(next)});
    return "f" + std::to_string(next);
}

void InsertItem(Db& db, const Item& i) {
    db.Exec(
        "INSERT INTO items(id, owner, parent, name, folder, size, sha1, fileVer, opVer, created, modTime,"
        " modifier, state, blob, fileKey, blobSha1) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        {i.id, i.owner, i.parent, i.name, i.folder ? 1 : 0, i.size, i.sha1, i.fileVer, i.opVer, i.created,
         i.modTime, i.modifier, i.state, i.blob, i.fileKey, i.blobSha1});
}

std::vector<std::string> ShareRecipients(Db& db, const Item& item) {
    std::vector<std::string> ids{item.id};
    for (const Item& a : Ancestors(db, item)) {
        ids.push_back(a.id);
    }
    std::set<std::string> users;
    for (const auto& id : ids) {
        for (const auto& row : db.Query("SELECT user FROM shares WHERE item = ?", {id})) {
            if (row[0] != item.owner) {
                users.insert(row[0]);
            }
        }
    }
    return {users.begin(), users.end()};
}

void TouchUsers(Db& db, const std::string& owner, const std::vector<std::string>& recipients,
                const std::string& device) {
    if (!owner.empty()) {
        BumpOpVer(db, owner, device);
    }
    for (const auto& u : recipients) {
        BumpOpVer(db, u, device);
        BumpShareVer(db, u);
    }
}

int64_t TouchItem(Db& db, const Item& item, const std::string& device) {
    for (const auto& u : ShareRecipients(db, item)) {
        BumpOpVer(db, u, device);
        BumpShareVer(db, u);
    }
    return BumpOpVer(db, item.owner, device);
}

void RecycleItem(Db& db, const Item& item, int64_t opVer) {
    db.Exec("UPDATE items SET state = 1, opVer = ? WHERE id = ?", {opVer, item.id});
    std::vector<std::string> pending{item.id};
    while (!pending.empty()) {
        std::string id = pending.back();
        pending.pop_back();
        for (const auto& row : db.Query("SELECT id FROM items WHERE parent = ? AND state = 0", {id})) {
            db.Exec("UPDATE items SET state = 2 WHERE id = ?", {row[0]});
            pending.push_back(row[0]);
        }
    }
}

void RecoverItem(Db& db, const Item& item, const std::string& newParent, int64_t opVer) {
    db.Exec("UPDATE items SET state = 0, parent = ?, opVer = ? WHERE id = ?", {newParent, opVer, item.id});
    std::vector<std::string> pending{item.id};
    while (!pending.empty()) {
        std::string id = pending.back();
        pending.pop_back();
        for (const auto& row : db.Query("SELECT id FROM items WHERE parent = ? AND state = 2", {id})) {
            db.Exec("UPDATE items SET state = 0 WHERE id = ?", {row[0]});
            pending.push_back(row[0]);
        }
    }
}

std::vector<std::string> PurgeItem(Db& db, const Item& item) {
    std::vector<std::string> blobs;
    std::vector<std::string> pending{item.id};
    // A recycled tree takes only what was recycled with it: a child deleted on
    // its own earlier is still an entry of the recycle bin.
    std::string below = item.state == 1 ? " AND state = 2" : "";
    while (!pending.empty()) {
        std::string id = pending.back();
        pending.pop_back();
        for (const auto& row : db.Query("SELECT id FROM items WHERE parent = ?" + below, {id})) {
            pending.push_back(row[0]);
        }
        for (const auto& row : db.Query("SELECT blob, prevBlob FROM items WHERE id = ?", {id})) {
            for (const auto& b : row) {
                if (!b.empty()) {
                    blobs.push_back(b);
                }
            }
        }
        db.Exec("DELETE FROM items WHERE id = ?", {id});
        db.Exec("DELETE FROM shares WHERE item = ?", {id});
        db.Exec("DELETE FROM stubs WHERE item = ?", {id});
    }
    return blobs;
}

bool IsSameOrBelow(Db& db, const std::string& candidate, const std::string& item) {
    if (candidate == item) {
        return true;
    }
    Item c;
    if (!GetItem(db, candidate, &c)) {
        return false;
    }
    for (const Item& a : Ancestors(db, c)) {
        if (a.id == item) {
            return true;
        }
    }
    return false;
}

}  // namespace devserver
