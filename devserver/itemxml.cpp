#include "devserver/itemxml.h"

namespace devserver {

void AppendItemFields(XmlReply& reply, Db& db, const Item& item, const std::string& type) {
    int64_t shared = db.ScalarInt("SELECT COUNT(*) FROM shares WHERE item = ?", {item.id}) > 0 ? 1 : 0;
    reply.Value("type", type.empty() ? (item.folder ? "folder" : "file") : type)
        .Value("fileId", item.id)
        .Value("parentId", item.parent)
        .Value("name", item.name)
        .Value("size", item.size)
        .Value("sha1", item.sha1)
        .Value("fileVer", item.fileVer)
        .Value("opVer", item.opVer)
        .Value("createdTime", item.created)
        .Value("modTime", item.modTime)
        .Value("modifier", item.modifier)
        .Value("shared", shared);
}

void AppendItem(XmlReply& reply, Db& db, const Item& item, const std::string& type) {
    reply.BeginChild("item");
    AppendItemFields(reply, db, item, type);
    reply.EndChild();
}

std::string NickOf(Db& db, const std::string& userId) {
    return db.Scalar("SELECT nick FROM users WHERE id = ?", {userId});
}

}  // namespace devserver
