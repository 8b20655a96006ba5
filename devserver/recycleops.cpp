// The recycle bin (getRecycle paging, recover, cleanRecycle) and the
// snapshot and permanent-delete operations no client calls.
#include "devserver/accounts.h"
#include "devserver/blobfiles.h"
#include "devserver/itemtree.h"
#include "devserver/itemxml.h"
#include "devserver/service.h"

namespace devserver {

namespace {

// Largest page any listing answers.
constexpr int64_t kMaxPage = 1000;

int64_t PageSize(const OpCall& call) {
    int64_t size = DecimalField(call, "size");
    if (size == 0) {
        throw OpFailure{"clientBadParams"};
    }
    return size > kMaxPage ? kMaxPage : size;
}

// Recycled items below the cursor, newest first: the client pages on with
// the last item's opVer, and every recycle gets an opVer of its own.
std::string GetRecycle(Service& service, const OpCall& call) {
    int64_t cursor = DecimalField(call, "opVer");
    int64_t size = PageSize(call);
    return service.store.Run([&](Db& db) {
        XmlReply reply;
        auto rows = db.Query(
            "SELECT id FROM items WHERE owner = ? AND state = 1 AND opVer < ?"
            " ORDER BY opVer DESC LIMIT ?",
            {call.userId, cursor, size});
        for (const auto& row : rows) {
            Item item;
            GetItem(db, row[0], &item);
            AppendItem(reply, db, item);
        }
        return reply.Text();
    });
}

Item RequireRecycled(Db& db, const OpCall& call, const std::string& id) {
    Item item;
    if (!GetItem(db, id, &item) || item.owner != call.userId || item.state != 1) {
        throw OpFailure{"targetNotExist"};
    }
    return item;
}

std::string Recover(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        Item item = RequireRecycled(db, call, call.fields.Get("fileId"));
        std::string target = call.fields.Get("parentId");
        if (!target.empty()) {
            Item parent;
            int rights = ItemRightsFor(db, call.userId, target, &parent);
            if (rights < 0 || !parent.folder) {
                throw OpFailure{"parentNotExist"};
            }
            if (parent.owner != item.owner) {
                throw OpFailure{"permissionDenied"};
            }
        }
        if (FindLiveByName(db, item.owner, target, item.name, item.id, nullptr)) {
            throw OpFailure{"targetExist"};
        }
        Item restored = item;
        restored.parent = target;
        RecoverItem(db, item, target, TouchItem(db, restored, call.device));
        return XmlReply().Text();
    });
}

// fileId "" empties the whole bin.
std::string CleanRecycle(Service& service, const OpCall& call) {
    std::vector<std::string> blobs = service.store.Run([&](Db& db) {
        std::vector<Item> doomed;
        std::string id = call.fields.Get("fileId");
        if (id.empty()) {
            for (const auto& row :
                 db.Query("SELECT id FROM items WHERE owner = ? AND state = 1", {call.userId})) {
                Item item;
                GetItem(db, row[0], &item);
                doomed.push_back(item);
            }
        } else {
            doomed.push_back(RequireRecycled(db, call, id));
        }
        std::vector<std::string> files;
        for (const Item& item : doomed) {
            auto purged = PurgeItem(db, item);
            files.insert(files.end(), purged.begin(), purged.end());
        }
        if (!doomed.empty()) {
            BumpOpVer(db, call.userId, call.device);
        }
        return files;
    });
    RemoveBlobs(service.store, blobs);
    return XmlReply().Text();
}

// Permanent delete without the recycle bin.
std::string DeleteEx(Service& service, const OpCall& call) {
    std::vector<std::string> blobs = service.store.Run([&](Db& db) {
        Item item;
        int rights = ItemRightsFor(db, call.userId, call.fields.Get("fileId"), &item);
        if (rights < 0) {
            throw OpFailure{"targetNotExist"};
        }
        if (!(rights & kRightWrite)) {
            throw OpFailure{"permissionDenied"};
        }
        TouchItem(db, item, call.device);
        return PurgeItem(db, item);
    });
    RemoveBlobs(service.store, blobs);
    return XmlReply().Text();
}

// Snapshots: the caller's items changed after opVer, oldest change first.
std::string Snapshot(Service& service, const OpCall& call, bool deleted) {
    int64_t since = DecimalField(call, "opVer");
    int64_t size = PageSize(call);
    return service.store.Run([&](Db& db) {
        XmlReply reply;
        auto rows =
            db.Query(std::string("SELECT id FROM items WHERE owner = ? AND ") +
                         (deleted ? "state = 1" : "state = 0") + " AND opVer > ? ORDER BY opVer LIMIT ?",
                     {call.userId, since, size});
        for (const auto& row : rows) {
            Item item;
            GetItem(db, row[0], &item);
            AppendItem(reply, db, item, deleted ? "deleted" : "");
        }
        return reply.Text();
    });
}

std::string SyncFile(Service& service, const OpCall& call) {
    return Snapshot(service, call, false);
}
std::string SyncDelFile(Service& service, const OpCall& call) {
    return Snapshot(service, call, true);
}

}  // namespace

void AddRecycleOps(std::vector<XmlOp>& ops) {
    ops.push_back({"/xsvr/getRecycle/", "2", true, {"opVer", "size"}, GetRecycle});
    ops.push_back({"/xsvr/recover/", "2", true, {"fileId", "parentId"}, Recover});
    ops.push_back({"/xsvr/cleanRecycle/", "2", true, {"fileId"}, CleanRecycle});
    ops.push_back({"/xsvr/deleteEx/", "2", true, {"fileId"}, DeleteEx});
    ops.push_back({"/xsvr/syncFile/", "2", true, {"opVer", "size"}, SyncFile});
    ops.push_back({"/xsvr/syncDelFile/", "2", true, {"opVer", "size"}, SyncDelFile});
}

}  // namespace devserver
