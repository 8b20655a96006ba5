// Sharing operations: the shared-out and shared-with-me lists and asmShare.
#include <sstream>

#include "devserver/accounts.h"
#include "devserver/itemtree.h"
#include "devserver/itemxml.h"
#include "devserver/service.h"
#include "devserver/sharing.h"

namespace devserver {

namespace {

void AppendSharer(XmlReply& reply, const std::string& nick, const std::string& userId,
                  const std::string& email, int rights) {
    reply.BeginChild("sharer")
        .Value("nickName", nick)
        .Value("userId", userId)
        .Value("email", email)
        .Value("right", RightsText(rights))
        .EndChild();
}

// "out": what the caller shares, one sharer per recipient. "toMe": what others
// share with the caller, with the owner as the only sharer and the caller's rights.
std::string GetAllSharedFiles(Service& service, const OpCall& call) {
    std::string type = call.fields.Get("type");
    if (type != "out" && type != "toMe") {
        throw OpFailure{"clientBadParams"};
    }
    return service.store.Run([&](Db& db) {
        XmlReply reply;
        if (type == "out") {
            for (const auto& row : db.Query("SELECT DISTINCT i.id FROM shares s JOIN items i ON i.id = s.item"
                                            " WHERE i.owner = ? AND i.state = 0 ORDER BY i.name",
                                            {call.userId})) {
                Item item;
                GetItem(db, row[0], &item);
                reply.BeginChild("item");
                AppendItemFields(reply, db, item);
                for (const ShareEntry& e : SharesOf(db, item.id)) {
                    AppendSharer(reply, e.nick, e.userId, e.email, e.rights);
                }
                reply.EndChild();
            }
        } else {
            for (const auto& row :
                 db.Query("SELECT i.id, s.rights FROM shares s JOIN items i ON i.id = s.item"
                          " WHERE s.user = ? AND i.state = 0 ORDER BY i.name",
                          {call.userId})) {
                Item item;
                GetItem(db, row[0], &item);
                User owner;
                FindUser(db, item.owner, &owner);
                reply.BeginChild("item");
                AppendItemFields(reply, db, item);
                AppendSharer(reply, owner.nick, owner.id, owner.email, std::stoi(row[1]));
                reply.EndChild();
            }
        }
        return reply.Text();
    });
}

// Adds or updates shares for a comma-separated list of e-mails or log-in names.
std::string Share(Service& service, const OpCall& call) {
    std::string writable = call.fields.Get("writable");
    std::string sendMail = call.fields.Get("sendMail");
    if ((writable != "true" && writable != "false") ||
        (sendMail != "true" && sendMail != "false" && !sendMail.empty())) {
        throw OpFailure{"clientBadParams"};
    }
    return service.store.Run([&](Db& db) {
        Item item;
        int rights = ItemRightsFor(db, call.userId, call.fields.Get("fileId"), &item);
        if (rights < 0) {
            throw OpFailure{"targetNotExist"};
        }
        if (rights != kRightOwner) {
            throw OpFailure{"permissionDenied"};
        }
        std::vector<std::string> userIds;
        std::stringstream list(call.fields.Get("sharers"));
        std::string name;
        while (std::getline(list, name, ',')) {
            if (name.empty()) {
                continue;
            }
            User user;
            if (!FindUserByName(db, name, &user)) {
                throw OpFailure{"targetNotExist"};
            }
            if (user.id == call.userId) {
                throw OpFailure{"clientBadParams"};
            }
            userIds.push_back(user.id);
        }
        if (userIds.empty()) {
            throw OpFailure{"clientBadParams"};
        }
        for (const auto& id : userIds) {
            SetShare(db, item.id, id, writable == "true" ? 3 : 1, call.device);
        }
        return XmlReply().Text();
    });
}

}  // namespace

void AddShareOps(std::vector<XmlOp>& ops) {
    ops.push_back({"/xsvr/asmGetAllSharedFiles/", "3", true, {"type"}, GetAllSharedFiles});
    ops.push_back({"/xsvr/asmShare/", "2", true, {"fileId", "sharers", "writable"}, Share});
}

}  // namespace devserver
