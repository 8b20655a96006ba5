#pragma once
// Item fields as the listing replies carry them.
#include <string>

#include "devserver/db.h"
#include "devserver/itemtree.h"
#include "devserver/xmlreply.h"

namespace devserver {

// Appends the item's fields to the reply's current element; type overrides "folder"/"file".
void AppendItemFields(XmlReply& reply, Db& db, const Item& item, const std::string& type = "");
// An "item" child holding the fields.
void AppendItem(XmlReply& reply, Db& db, const Item& item, const std::string& type = "");
// The nick name that marks a user's changes.
std::string NickOf(Db& db, const std::string& userId);

}  // namespace devserver
