#include "devserver/sharing.h"

#include <set>

#include "devserver/accounts.h"
#include "devserver/itemtree.h"

namespace devserver {

std::string RightsText(int rights) {
    return (rights & kRightWrite) ? "read,write" : "read";
}

std::vector<ShareEntry> SharesOf(Db& db, const std::string& itemId) {
    std::vector<ShareEntry> entries;
    for (const auto& row : db.Query("SELECT s.user, u.nick, u.email, s.rights FROM shares s JOIN users u"
                                    " ON u.id = s.user WHERE s.item = ? ORDER BY u.email",
                                    {itemId})) {
        entries.push_back({row[0], row[1], row[2], std::stoi(row[3])});
    }
    return entries;
}

void SetShare(Db& db, const std::string& itemId, const std::string& userId, int rights,
              const std::string& device) {
    Item item;
    if (!GetItem(db, itemId, &item)) {
        return;
    }
    std::vector<std::string> before = ShareRecipients(db, item);
    if (rights == 0) {
        db.Exec("DELETE FROM shares WHERE item = ? AND user = ?", {itemId, userId});
    } else {
        db.Exec("INSERT OR REPLACE INTO shares(item, user, rights) VALUES(?,?,?)", {itemId, userId, rights});
    }
    std::set<std::string> everyone(before.begin(), before.end());
    everyone.insert(userId);
    TouchUsers(db, item.owner, {everyone.begin(), everyone.end()}, device);
}

}  // namespace devserver
