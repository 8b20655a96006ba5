#include "core/localstorage/localstorage/localstorage.h"

#include <new>
#include <set>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "base/db/sqltext.h"
#include "core/localstorage/localstorage/sharerlist.h"

namespace {

const wchar_t kTable[] = L"files";
const wchar_t kConfigSection[] = L"LocalStorage";
const wchar_t kCacheVersionKey[] = L"CacheVersion";
const wchar_t kShareCacheVersionKey[] = L"ShareCacheVersion";
const wchar_t kRootCacheVersionKey[] = L"RootCacheVersion";

// Name, declared type and collation, padded with tabs as the table has always
// been written; older databases carry exactly these columns (sharers may be
// missing and is added on Init).
const wchar_t kColumns[] =
    L"id\tINTEGER PRIMARY KEY,"
    L"isdir\tTINYINT,"
    L"size\tINT,"
    L"version\tINT,"
    L"fileversion\tINT,"
    L"sha1\tVARCHAR(42),"
    L"svrparentid\tVARCHAR(260)\tCOLLATE NOCASE,"
    L"svrid\tVARCHAR(260)\tCOLLATE NOCASE,"
    L"svr_mtime\tDATETIME,"
    L"svr_ctime\tDATETIME,"
    L"localpath\tVARCHAR(260)\tCOLLATE NOCASE,"
    L"localname\tVARCHAR(260)\tCOLLATE NOCASE,"
    L"local_mtime\tDATETIME,"
    L"local_ctime\tDATETIME,"
    L"cacheversion\tINT,"
    L"itemversion\tINT,"
    L"sharers\tTEXT";

// Folder listings select by parent; the original index leads with svrid and
// cannot serve them, so large folders would be read by a full scan.
const wchar_t kParentIndex[] = L"CREATE INDEX IF NOT EXISTS files_parent_index ON files(svrparentid)";

// Ancestors looked at for share rights. Real trees are far shallower; a
// damaged table whose parents loop must still end.
constexpr int kMaxShareChainDepth = 256;

// One row into item, in the order and with the checks the cache has always
// applied. E_FAIL for a row that cannot be a valid item.
HRESULT ReadItemRow(CDBQueryHelper& rows, bool full, RemoteItem& item) {
    item.isFolder = rows.getIntField("isdir", 0);
    const bool isFile = item.isFolder == 0;
    rows.getStringField(item.sha1, "sha1");
    if (isFile && item.sha1.empty())
        return E_FAIL;
    item.size = rows.getInt64Field("size", 0);
    item.opVer = rows.getIntField("version", 0);
    item.fileVer = rows.getIntField("fileversion", 0);
    if (full)
        rows.getStringField(item.localPath, "localpath");
    rows.getStringField(item.name, "localname");
    rows.getStringField(item.createdTime, "local_ctime");
    if (isFile && item.createdTime.empty())
        return E_FAIL;
    rows.getStringField(item.modTime, "local_mtime");
    if (isFile && item.modTime.empty())
        return E_FAIL;
    rows.getStringField(item.parentId, "svrparentid");
    rows.getStringField(item.fileId, "svrid");
    if (item.fileId.empty())
        return E_FAIL;
    if (full) {
        std::wstring sharers;
        ParseSharerList(rows.getStringField(sharers, "sharers"), item.sharers);
    }
    return S_OK;
}

DbConfigStore* Config() {
    return GetDbConfigStore();
}

}  // namespace

HRESULT CreateLocalStorage(ILocalStorage** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CLocalStorage* storage = new (std::nothrow) CLocalStorage();
    if (!storage)
        return E_FAIL;
    storage->AddRef();
    *out = storage;
    return S_OK;
}

HRESULT CLocalStorage::UnInit() {
    return S_OK;
}

HRESULT CLocalStorage::CreateDbTable() {
    CDB* db = GetDatabase();
    BOOL exists = 0;
    HRESULT hr = db->tableExists(kTable, exists);
    if (FAILED(hr))
        return hr;
    if (exists) {
        if (!db->HasColumn(kTable, L"sharers"))
            db->AddColumn(kTable, L"sharers", L"TEXT", L"''");
        db->ExecDmlRetry(kParentIndex);
        return hr;
    }
    hr = db->CreateTable(kTable, kColumns);
    if (FAILED(hr))
        return hr;
    hr = db->ExecDmlRetry(L"CREATE INDEX files_index ON files(svrid, svrparentid)");
    if (SUCCEEDED(hr))
        db->ExecDmlRetry(kParentIndex);
    return hr;
}

HRESULT CLocalStorage::Lock() {
    m_transactionLock.Lock();
    {
        CAutoLock state(m_transactionStateLock);
        if (m_transactionDepth > 0 && m_transactionOwner == std::this_thread::get_id()) {
            ++m_transactionDepth;
            return S_OK;
        }
    }
    const HRESULT hr = GetDatabase()->BeginTransaction();
    if (FAILED(hr)) {
        m_transactionLock.Unlock();
        return hr;
    }
    CAutoLock state(m_transactionStateLock);
    m_transactionOwner = std::this_thread::get_id();
    m_transactionDepth = 1;
    m_stampVersionKnown = false;
    return S_OK;
}

HRESULT CLocalStorage::Unlock() {
    {
        CAutoLock state(m_transactionStateLock);
        if (m_transactionDepth == 0 || m_transactionOwner != std::this_thread::get_id())
            return E_FAIL;
        if (--m_transactionDepth > 0) {
            m_transactionLock.Unlock();
            return S_OK;
        }
        m_transactionOwner = std::thread::id();
        m_stampVersionKnown = false;
    }
    CDB* db = GetDatabase();
    const HRESULT hr = db->CommitTransaction();
    if (FAILED(hr)) {
        // Left open, the transaction would swallow every later statement of
        // every thread on the shared connection.
        db->execDML(L"ROLLBACK TRANSACTION;");
    }
    m_transactionLock.Unlock();
    return hr;
}

HRESULT CLocalStorage::ClearLastSnapshot() {
    CAutoLock lock(m_methodLock);
    return GetDatabase()->Delete(kTable, nullptr);
}

HRESULT CLocalStorage::FolderNeedUpdate(const std::wstring& id) {
    CAutoLock lock(m_methodLock);
    const int current = static_cast<int>(GetCurCacheVesion(0));
    if (id.empty())
        return current > Config()->GetInt(kConfigSection, kRootCacheVersionKey, 0) ? S_FALSE : S_OK;
    CDBQueryHelper rows;
    GetDatabase()->SelectOne(rows, kTable, FormatSql(L"svrid = '%s' and isdir = 1", id));
    if (rows.eof())
        return S_FALSE;
    // A folder listed as a child but never itself has no stamp: -1, stale.
    return current > rows.getIntField("cacheversion", -1) ? S_FALSE : S_OK;
}

HRESULT CLocalStorage::ReadItems(const std::wstring& condition, bool full, std::vector<RemoteItem>* out) {
    if (!out)
        return E_POINTER;
    CDBQueryHelper rows;
    HRESULT hr = GetDatabase()->Select(rows, kTable, condition, L"");
    if (FAILED(hr))
        return hr;
    for (; !rows.eof(); rows.nextRow()) {
        RemoteItem item;
        if (FAILED(ReadItemRow(rows, full, item)))
            return E_FAIL;
        out->push_back(std::move(item));
        // Long reads must not starve the transfer threads.
        std::this_thread::yield();
    }
    return S_OK;
}

HRESULT CLocalStorage::GetLastSyncSnapshot(const std::wstring& id, std::vector<RemoteItem>* out) {
    CAutoLock lock(m_methodLock);
    return ReadItems(FormatSql(L"svrparentid = '%s'", id), true, out);
}

HRESULT CLocalStorage::LocalFullTextSearch(const std::wstring& searchText, std::vector<RemoteItem>* out) {
    CAutoLock lock(m_methodLock);
    return ReadItems(FormatSql(L"Localname like '%%%s%%' " SQL_LIKE_ESCAPE, SqlLike{searchText}), false, out);
}

HRESULT CLocalStorage::GetItemInfo(const std::wstring& id, RemoteItem* out) {
    if (!out)
        return E_POINTER;
    CAutoLock lock(m_methodLock);
    CDBQueryHelper rows;
    GetDatabase()->SelectOne(rows, kTable, FormatSql(L"svrid = '%s'", id));
    if (rows.eof())
        return E_FAIL;
    return ReadItemRow(rows, true, *out);
}

HRESULT CLocalStorage::GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) {
    if (!out)
        return E_POINTER;
    CAutoLock lock(m_methodLock);
    std::wstring next = id;
    std::set<std::wstring> seen;
    for (int depth = 0; depth < kMaxShareChainDepth; ++depth) {
        CDBQueryHelper rows;
        GetDatabase()->SelectOne(rows, kTable, FormatSql(L"svrid = '%s'", next));
        if (rows.eof())
            return E_FAIL;
        std::wstring sharers;
        if (!rows.getStringField(sharers, "sharers").empty()) {
            ParseSharerList(sharers, *out);
            return S_OK;
        }
        seen.insert(next);
        rows.getStringField(next, "svrparentid");
        if (seen.count(next) != 0)
            return E_FAIL;
    }
    return E_FAIL;
}

HRESULT CLocalStorage::AddOrUpdateFileItem(const RemoteItem& item) {
    CAutoLock lock(m_methodLock);
    CDB* db = GetDatabase();
    const int isDir = item.isFolder != 0 ? 1 : 0;
    const std::wstring condition = FormatSql(L"svrid = '%s' AND isdir = %d", item.fileId, isDir);
    const std::wstring sharers = FormatSharerList(item.sharers);
    const int64_t itemVersion = StampVersion();
    CDBQueryHelper rows;
    // Only whether the row exists matters; "SELECT *" would cost a listing
    // of many items half its time in naming the columns.
    HRESULT hr = db->execQuery(
        rows, FormatSql(L"SELECT id FROM files WHERE %s LIMIT 1", SqlVerbatim{condition}).c_str());
    if (FAILED(hr))
        return hr;
    if (rows.eof()) {
        return db->Insert(
            kTable,
            L"size, fileversion, sha1, svrparentid, svrid, localpath, localname, isdir, "
            L"local_ctime, local_mtime, sharers, itemversion",
            FormatSql(L"%lld, %d, '%s', '%s', '%s', '%s', '%s', %d, '%s', '%s', '%s', %lld", item.size,
                      item.fileVer, item.sha1, item.parentId, item.fileId, item.localPath, item.name, isDir,
                      item.createdTime, item.modTime, sharers, itemVersion));
    }
    return db->Update(
        kTable,
        FormatSql(L"size = %lld, fileversion = %d, sha1 = '%s', svrparentid = '%s', svrid = '%s', "
                  L"localpath = '%s', localname = '%s', isdir = %d, local_ctime = '%s', "
                  L"local_mtime = '%s', sharers = '%s', itemversion = %lld",
                  item.size, item.fileVer, item.sha1, item.parentId, item.fileId, item.localPath, item.name,
                  isDir, item.createdTime, item.modTime, sharers, itemVersion),
        condition);
}

HRESULT CLocalStorage::UpdateFileVersion(const std::wstring& fileId, int64_t fileSize, int64_t fileVersion,
                                         const std::wstring& sha1) {
    CAutoLock lock(m_methodLock);
    return GetDatabase()->Update(
        kTable, FormatSql(L"size = %lld, fileversion = %lld, sha1 = '%s'", fileSize, fileVersion, sha1),
        FormatSql(L"svrid = '%s'", fileId));
}

HRESULT CLocalStorage::DeleteStaleChildren(const std::wstring& parentId) {
    const int64_t current = GetCurCacheVesion(0);
    return GetDatabase()->Delete(
        kTable, FormatSql(L"svrparentid = '%s' AND itemversion < %lld", parentId, current).c_str());
}

HRESULT CLocalStorage::UpdateFolderCacheVesion(const std::wstring& id) {
    CAutoLock lock(m_methodLock);
    const int current = static_cast<int>(GetCurCacheVesion(0));
    if (id.empty())
        return Config()->SetInt(kConfigSection, kRootCacheVersionKey, current);
    return GetDatabase()->Update(kTable, FormatSql(L"cacheversion = %d", current),
                                 FormatSql(L"svrid = '%s' and isdir = 1", id));
}

HRESULT CLocalStorage::SetCurCacheVesion(int64_t optVersion) {
    CAutoLock lock(m_methodLock);
    const HRESULT hr = Config()->SetInt64(kConfigSection, kCacheVersionKey, optVersion);
    CAutoLock state(m_transactionStateLock);
    m_stampVersionKnown = false;
    return hr;
}

int64_t CLocalStorage::StampVersion() {
    CAutoLock lock(m_methodLock);
    bool owner = false;
    {
        CAutoLock state(m_transactionStateLock);
        owner = m_transactionDepth > 0 && m_transactionOwner == std::this_thread::get_id();
        if (owner && m_stampVersionKnown)
            return m_stampVersion;
    }
    const int64_t version = GetCurCacheVesion(0);
    if (owner) {
        CAutoLock state(m_transactionStateLock);
        m_stampVersion = version;
        m_stampVersionKnown = true;
    }
    return version;
}

int64_t CLocalStorage::GetCurCacheVesion(int64_t def) {
    CAutoLock lock(m_methodLock);
    return Config()->GetInt(kConfigSection, kCacheVersionKey, static_cast<int>(def));
}

HRESULT CLocalStorage::SetCurShareCacheVesion(int64_t optVersion) {
    CAutoLock lock(m_methodLock);
    return Config()->SetInt64(kConfigSection, kShareCacheVersionKey, optVersion);
}

int64_t CLocalStorage::GetCurShareCacheVesion(int64_t def) {
    CAutoLock lock(m_methodLock);
    return Config()->GetInt(kConfigSection, kShareCacheVersionKey, static_cast<int>(def));
}
