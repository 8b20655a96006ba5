#include "core/localstorage/localstorage/itemrowsql.h"

#include "base/db/sqltext.h"
#include "core/localstorage/localstorage/sharerlist.h"

const wchar_t kItemRowColumns[] =
    L"size, fileversion, sha1, svrparentid, svrid, localpath, localname, isdir, "
    L"local_ctime, local_mtime, sharers, itemversion";

std::wstring FormatItemRowValues(const RemoteItem& item, int64_t itemVersion) {
    return FormatSql(L"%lld, %d, '%s', '%s', '%s', '%s', '%s', %d, '%s', '%s', '%s', %lld", item.size,
                     item.fileVer, item.sha1, item.parentId, item.fileId, item.localPath, item.name,
                     item.isFolder != 0 ? 1 : 0, item.createdTime, item.modTime,
                     FormatSharerList(item.sharers), itemVersion);
}
