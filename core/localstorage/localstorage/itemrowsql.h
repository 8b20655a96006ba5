#pragma once
// How a listed item is written into the "files" table: the columns a listing
// sets and one item's values for them, in that order.
#include <cstdint>
#include <string>

#include "core/localstorage/localstorage/remoteitem.h"

// Ends with "itemversion", the listing's stamp.
extern const wchar_t kItemRowColumns[];

// The item's values for kItemRowColumns, texts escaped and quoted; the row
// is stamped with itemVersion.
std::wstring FormatItemRowValues(const RemoteItem& item, int64_t itemVersion);
