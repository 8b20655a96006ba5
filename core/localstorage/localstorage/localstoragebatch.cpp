// A whole listing into the "files" table in a few statements per 500 items,
// with the rows AddOrUpdateFileItem leaves: an item updates every row of its
// id (compared as the NOCASE column compares) and kind, wherever that row
// stands, and is inserted when there is none.
#include <algorithm>
#include <unordered_map>

#include "base/db/db.h"
#include "base/db/sqltext.h"
#include "core/localstorage/localstorage/itemrowsql.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/localstorage/localstorage/sharerlist.h"

namespace {

// Large enough that parsing the statements costs little beside the rows,
// small enough to keep each statement text short.
constexpr size_t kRowsPerStatement = 500;

// The key the single write matches rows by: the id as the NOCASE column
// compares it (ASCII letters folded) and whether the row is a folder.
std::wstring RowKey(const std::wstring& fileId, int isDir) {
    std::wstring key;
    key.reserve(fileId.size() + 1);
    key += isDir ? L'd' : L'f';
    for (wchar_t c : fileId)
        key += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return key;
}

// A row standing under the key of a listed item.
struct StandingRow {
    int64_t id;
    // Every column the listing sets already holds the item's value: only
    // the stamp needs writing.
    bool unchanged;
};

// One key of the listing: the last item given for it, and the rows it
// updates (none: it is inserted).
struct PendingRow {
    const RemoteItem* item;
    std::vector<StandingRow> rows;
};

std::vector<std::wstring> ItemRowColumnNames() {
    std::vector<std::wstring> names;
    const std::wstring columns = kItemRowColumns;
    size_t from = 0;
    while (from < columns.size()) {
        size_t end = columns.find(L',', from);
        if (end == std::wstring::npos)
            end = columns.size();
        std::wstring column = columns.substr(from, end - from);
        column.erase(0, column.find_first_not_of(L' '));
        names.push_back(column);
        from = end + 1;
    }
    return names;
}

// "size = excluded.size, ..." for every column a listing sets.
std::wstring ExcludedAssignments() {
    std::wstring out;
    for (const std::wstring& column : ItemRowColumnNames())
        out += (out.empty() ? L"" : L", ") + column + L" = excluded." + column;
    return out;
}

// The columns a listing sets, each read back as the single write stores it:
// integers and texts, never NULL.
const wchar_t kStoredColumns[] =
    L"id, svrid, isdir, size, fileversion, sha1, svrparentid, localpath, localname, local_ctime, "
    L"local_mtime, sharers, typeof(size) = 'integer' AND typeof(fileversion) = 'integer' AND "
    L"typeof(sha1) = 'text' AND typeof(svrparentid) = 'text' AND typeof(svrid) = 'text' AND "
    L"typeof(localpath) = 'text' AND typeof(localname) = 'text' AND typeof(local_ctime) = 'text' AND "
    L"typeof(local_mtime) = 'text' AND typeof(sharers) = 'text'";

// Whether the row read with kStoredColumns holds what writing the item would
// store, the stamp aside.
bool RowHoldsItem(CDBQueryHelper& rows, const RemoteItem& item, std::wstring& text) {
    auto same = [&](int column, const std::wstring& value) {
        return rows.getStringField(text, column) == value;
    };
    return rows.getIntField(12, 0) != 0 && rows.getInt64Field(3) == item.size &&
           rows.getInt64Field(4) == item.fileVer && same(1, item.fileId) && same(5, item.sha1) &&
           same(6, item.parentId) && same(7, item.localPath) && same(8, item.name) &&
           same(9, item.createdTime) && same(10, item.modTime) && same(11, FormatSharerList(item.sharers));
}

}  // namespace

HRESULT CLocalStorage::AddOrUpdateFileItems(const std::vector<RemoteItem>& items) {
    HRESULT hr = Lock();
    if (FAILED(hr))
        return hr;
    hr = WriteItemRows(items);
    const HRESULT committed = Unlock();
    return FAILED(hr) ? hr : committed;
}

HRESULT CLocalStorage::WriteItemRows(const std::vector<RemoteItem>& items) {
    CAutoLock lock(m_methodLock);
    CDB* db = GetDatabase();
    // A key given twice ends with the later item's values in the row the
    // first one made or found, as two single writes leave it.
    std::unordered_map<std::wstring, size_t> slots;
    std::vector<PendingRow> pending;
    pending.reserve(items.size());
    for (const RemoteItem& item : items) {
        const auto inserted = slots.emplace(RowKey(item.fileId, item.isFolder != 0 ? 1 : 0), pending.size());
        if (inserted.second)
            pending.push_back({&item, {}});
        else
            pending[inserted.first->second].item = &item;
    }

    // A folder listed again mostly comes back as it was: rows whose values
    // stand unchanged get only the new stamp, which touches no index.
    for (size_t from = 0; from < pending.size(); from += kRowsPerStatement) {
        const size_t to = std::min(pending.size(), from + kRowsPerStatement);
        std::wstring ids;
        for (size_t i = from; i < to; ++i)
            ids += FormatSql(i == from ? L"'%s'" : L", '%s'", pending[i].item->fileId);
        CDBQueryHelper rows;
        const HRESULT hr =
            db->execQuery(rows, FormatSql(L"SELECT %s FROM files WHERE isdir IN (0, 1) AND svrid IN (%s)",
                                          SqlVerbatim{kStoredColumns}, SqlVerbatim{ids})
                                    .c_str());
        if (FAILED(hr))
            return hr;
        std::wstring text;
        for (; !rows.eof(); rows.nextRow()) {
            const auto slot = slots.find(RowKey(rows.getStringField(text, 1), rows.getIntField(2, 0)));
            if (slot == slots.end())
                continue;
            PendingRow& row = pending[slot->second];
            row.rows.push_back({rows.getInt64Field(0), RowHoldsItem(rows, *row.item, text)});
        }
    }

    // New rows get their ids in listing order, as single inserts would.
    static const std::wstring kAssignments = ExcludedAssignments();
    const int64_t itemVersion = StampVersion();
    std::wstring tuples;
    size_t tupleCount = 0;
    std::wstring stampIds;
    size_t stampCount = 0;
    auto flushTuples = [&]() -> HRESULT {
        if (tupleCount == 0)
            return S_OK;
        const HRESULT hr = db->ExecDmlRetry(
            FormatSql(L"INSERT INTO files (id, %s) VALUES %s ON CONFLICT(id) DO UPDATE SET %s",
                      SqlVerbatim{kItemRowColumns}, SqlVerbatim{tuples}, SqlVerbatim{kAssignments})
                .c_str());
        tuples.clear();
        tupleCount = 0;
        return hr;
    };
    auto flushStamps = [&]() -> HRESULT {
        if (stampCount == 0)
            return S_OK;
        const HRESULT hr = db->ExecDmlRetry(FormatSql(L"UPDATE files SET itemversion = %lld WHERE id IN (%s)",
                                                      itemVersion, SqlVerbatim{stampIds})
                                                .c_str());
        stampIds.clear();
        stampCount = 0;
        return hr;
    };
    auto addTuple = [&](const std::wstring& id, const std::wstring& values) -> HRESULT {
        tuples += tupleCount == 0 ? L"(" : L", (";
        tuples += id;
        tuples += L", ";
        tuples += values;
        tuples += L")";
        return ++tupleCount == kRowsPerStatement ? flushTuples() : S_OK;
    };
    for (const PendingRow& row : pending) {
        HRESULT hr = S_OK;
        std::wstring values;
        if (row.rows.empty())
            hr = addTuple(L"NULL", FormatItemRowValues(*row.item, itemVersion));
        for (const StandingRow& standing : row.rows) {
            if (FAILED(hr))
                break;
            if (standing.unchanged) {
                stampIds += stampCount == 0 ? L"" : L", ";
                stampIds += std::to_wstring(standing.id);
                hr = ++stampCount == kRowsPerStatement ? flushStamps() : S_OK;
            } else {
                if (values.empty())
                    values = FormatItemRowValues(*row.item, itemVersion);
                hr = addTuple(std::to_wstring(standing.id), values);
            }
        }
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = flushTuples();
    return FAILED(hr) ? hr : flushStamps();
}
