#pragma once
// Shares: an owner grants another account read or read-and-write rights on
// one of the owner's items and everything below it.
#include <string>
#include <vector>

#include "devserver/db.h"

namespace devserver {

struct ShareEntry {
    std::string userId;
    std::string nick;
    std::string email;
    int rights = 0;  // bit 1 read, bit 2 write
};

// The rights word of the listings: "read" or "read,write".
std::string RightsText(int rights);
std::vector<ShareEntry> SharesOf(Db& db, const std::string& itemId);
// Grants (rights 1 or 3) or withdraws (rights 0) a share and raises the
// versions of the owner and of everyone who saw or now sees the item.
void SetShare(Db& db, const std::string& itemId, const std::string& userId, int rights,
              const std::string& device);

}  // namespace devserver
