#pragma once
// The MIME type under which the explorer list drags its rows out as text
// records ("kind|type|name|fileId|parentId|path|" each followed by ':', in
// UTF-8). Targets inside the program accept only this type, so text dragged
// in from another program is never taken for a list of remote items.
inline constexpr char kExplorerDragMime[] = "application/x-pellux-explorer-items";
