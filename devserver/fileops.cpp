// Listing and changing the folder tree: dir, newFolder, newFile, rename,
// move, delete, getItemInfo, setModTime and the name search.
#include <set>

#include "devserver/accounts.h"
#include "devserver/ids.h"
#include "devserver/itemtree.h"
#include "devserver/itemxml.h"
#include "devserver/service.h"

namespace devserver {

namespace {

// The live item with at least the wanted rights, else the operation fails.
Item RequireItem(Db& db, const OpCall& call, const std::string& id, int wanted) {
    Item item;
    int rights = ItemRightsFor(db, call.userId, id, &item);
    if (rights < 0) {
        throw OpFailure{"targetNotExist"};
    }
    if ((rights & wanted) != wanted || rights == kRightNone) {
        throw OpFailure{"permissionDenied"};
    }
    return item;
}

// The owner of the folder new items go into ("" = the caller's root).
std::string RequireWritableFolder(Db& db, const OpCall& call, const std::string& parentId) {
    if (parentId.empty()) {
        return call.userId;
    }
    Item parent;
    int rights = ItemRightsFor(db, call.userId, parentId, &parent);
    if (rights < 0 || !parent.folder) {
        throw OpFailure{"parentNotExist"};
    }
    if (!(rights & kRightWrite)) {
        throw OpFailure{"permissionDenied"};
    }
    return parent.owner;
}

std::string RequireName(const OpCall& call) {
    std::string name = call.fields.Get("name");
    if (!IsValidName(name)) {
        throw OpFailure{"clientBadParams"};
    }
    return name;
}

std::string Dir(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        std::string id = call.fields.Get("fileId");
        std::vector<Item> children;
        if (id.empty()) {
            children = LiveChildren(db, call.userId, "");
        } else {
            Item folder = RequireItem(db, call, id, kRightRead);
            if (!folder.folder) {
                throw OpFailure{"clientBadParams"};
            }
            children = LiveChildren(db, folder.owner, id);
        }
        XmlReply reply;
        for (const Item& child : children) {
            AppendItem(reply, db, child);
        }
        return reply.Text();
    });
}

std::string CreateEntry(Service& service, const OpCall& call, bool folder) {
    return service.store.Run([&](Db& db) {
        std::string name = RequireName(call);
        std::string parentId = call.fields.Get("parentId");
        std::string owner = RequireWritableFolder(db, call, parentId);
        Item existing;
        if (FindLiveByName(db, owner, parentId, name, "", &existing)) {
            return XmlReply("targetExist")
                .Value("fileId", existing.id)
                .Value("fileVer", existing.fileVer)
                .Value("sha1", existing.sha1)
                .Text();
        }
        Item item;
        item.id = NewItemId(db);
        item.owner = owner;
        item.parent = parentId;
        item.name = name;
        item.folder = folder;
        item.sha1 = folder ? "" : kEmptySha1;
        item.created = item.modTime = NowTimeText();
        item.modifier = NickOf(db, call.userId);
        item.opVer = TouchItem(db, item, call.device);
        InsertItem(db, item);
        return XmlReply()
            .Value("fileId", item.id)
            .Value("fileVer", item.fileVer)
            .Value("sha1", item.sha1)
            .Text();
    });
}

std::string NewFolder(Service& service, const OpCall& call) {
    return CreateEntry(service, call, true);
}
std::string NewFile(Service& service, const OpCall& call) {
    return CreateEntry(service, call, false);
}

std::string Rename(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireItem(db, call, call.fields.Get("fileId"), kRightWrite);
        std::string name = RequireName(call);
        if (name == item.name) {
            return XmlReply().Text();
        }
        if (FindLiveByName(db, item.owner, item.parent, name, item.id, nullptr)) {
            throw OpFailure{"targetExist"};
        }
        int64_t opVer = TouchItem(db, item, call.device);
        db.Exec("UPDATE items SET name = ?, opVer = ?, modifier = ? WHERE id = ?",
                {name, opVer, NickOf(db, call.userId), item.id});
        return XmlReply().Text();
    });
}

std::string Move(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireItem(db, call, call.fields.Get("fileId"), kRightWrite);
        std::string target = call.fields.Get("parentId");
        std::string targetOwner = RequireWritableFolder(db, call, target);
        // Moves stay inside one owner's tree: the space and the recycle bin are the owner's.
        if (targetOwner != item.owner) {
            throw OpFailure{"permissionDenied"};
        }
        if (!target.empty() && IsSameOrBelow(db, target, item.id)) {
            throw OpFailure{"clientBadParams"};
        }
        std::string name = call.fields.Get("name").empty() ? item.name : RequireName(call);
        if (target == item.parent && name == item.name) {
            return XmlReply().Text();
        }
        if (FindLiveByName(db, item.owner, target, name, item.id, nullptr)) {
            throw OpFailure{"targetExist"};
        }
        std::vector<std::string> before = ShareRecipients(db, item);
        Item moved = item;
        moved.parent = target;
        std::vector<std::string> after = ShareRecipients(db, moved);
        std::set<std::string> everyone(before.begin(), before.end());
        everyone.insert(after.begin(), after.end());
        TouchUsers(db, "", {everyone.begin(), everyone.end()}, call.device);
        int64_t opVer = BumpOpVer(db, item.owner, call.device);
        db.Exec("UPDATE items SET parent = ?, name = ?, opVer = ?, modifier = ? WHERE id = ?",
                {target, name, opVer, NickOf(db, call.userId), item.id});
        return XmlReply().Text();
    });
}

std::string Delete(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireItem(db, call, call.fields.Get("fileId"), kRightWrite);
        RecycleItem(db, item, TouchItem(db, item, call.device));
        return XmlReply().Text();
    });
}

std::string GetItemInfo(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireItem(db, call, call.fields.Get("fileId"), kRightRead);
        XmlReply reply;
        AppendItemFields(reply, db, item);
        return reply.Text();
    });
}

std::string SetModTime(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireItem(db, call, call.fields.Get("fileId"), kRightWrite);
        std::string modTime = call.fields.Get("modTime");
        if (!IsTimeText(modTime)) {
            throw OpFailure{"clientBadParams"};
        }
        if (modTime != item.modTime) {
            int64_t opVer = TouchItem(db, item, call.device);
            db.Exec("UPDATE items SET modTime = ?, opVer = ? WHERE id = ?", {modTime, opVer, item.id});
        }
        return XmlReply().Text();
    });
}

// Searches the names of the caller's own live items (contents are encrypted).
std::string FullTextSearch(Service& service, const OpCall& call) {
    DecimalField(call, "searchType");
    std::string text = call.fields.Get("searchText");
    if (text.empty() || text.size() > 255) {
        throw OpFailure{"clientBadParams"};
    }
    return service.store.Run([&](Db& db) {
        XmlReply reply;
        auto rows = db.Query(
            "SELECT id FROM items WHERE owner = ? AND state = 0 AND instr(lower(name), lower(?)) > 0"
            " ORDER BY folder DESC, name LIMIT 1000",
            {call.userId, text});
        for (const auto& row : rows) {
            Item item;
            if (GetItem(db, row[0], &item)) {
                AppendItem(reply, db, item);
            }
        }
        return reply.Text();
    });
}

}  // namespace

void AddFileOps(std::vector<XmlOp>& ops) {
    ops.push_back({"/xsvr/dir/", "2", true, {"fileId"}, Dir});
    ops.push_back({"/xsvr/newFolder/", "2", true, {"parentId", "name"}, NewFolder});
    ops.push_back({"/xsvr/newFile/", "2", true, {"parentId", "name"}, NewFile});
    ops.push_back({"/xsvr/rename/", "2", true, {"fileId", "name"}, Rename});
    ops.push_back({"/xsvr/move/", "2", true, {"fileId", "parentId"}, Move});
    ops.push_back({"/xsvr/delete/", "2", true, {"fileId"}, Delete});
    ops.push_back({"/xsvr/getItemInfo/", "2", true, {"fileId"}, GetItemInfo});
    ops.push_back({"/xsvr/setModTime/", "2", true, {"fileId", "modTime"}, SetModTime});
    ops.push_back({"/xsvr/fullTextSearch", "2", true, {"searchText", "searchType"}, FullTextSearch});
}

}  // namespace devserver
