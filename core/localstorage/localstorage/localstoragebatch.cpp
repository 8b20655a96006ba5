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

// One key of the listing: the last item given for it, and the rows it
// updates (none: it is inserted).
struct PendingRow {
    const RemoteItem* item;
    std::vector<int64_t> rowIds;
};

// "size = excluded.size, ..." for every column a listing sets.
std::wstring ExcludedAssignments() {
    std::wstring out;
    std::wstring columns = kItemRowColumns;
    size_t from = 0;
    while (from < columns.size()) {
        size_t end = columns.find(L',', from);
        if (end == std::wstring::npos)
            end = columns.size();
        std::wstring column = columns.substr(from, end - from);
        column.erase(0, column.find_first_not_of(L' '));
        if (!out.empty())
            out += L", ";
        out += column + L" = excluded." + column;
        from = end + 1;
    }
    return out;
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

    for (size_t from = 0; from < pending.size(); from += kRowsPerStatement) {
        const size_t to = std::min(pending.size(), from + kRowsPerStatement);
        std::wstring ids;
        for (size_t i = from; i < to; ++i)
            ids += FormatSql(i == from ? L"'%s'" : L", '%s'", pending[i].item->fileId);
        CDBQueryHelper rows;
        const HRESULT hr = db->execQuery(
            rows, FormatSql(L"SELECT id, svrid, isdir FROM files WHERE isdir IN (0, 1) AND svrid IN (%s)",
                            SqlVerbatim{ids})
                      .c_str());
        if (FAILED(hr))
            return hr;
        for (; !rows.eof(); rows.nextRow()) {
            std::wstring fileId;
            const auto slot = slots.find(RowKey(rows.getStringField(fileId, 1), rows.getIntField(2, 0)));
            if (slot != slots.end())
                pending[slot->second].rowIds.push_back(rows.getInt64Field(0));
        }
    }

    // New rows get their ids in listing order, as single inserts would.
    static const std::wstring kAssignments = ExcludedAssignments();
    const int64_t itemVersion = StampVersion();
    std::wstring tuples;
    size_t count = 0;
    auto flush = [&]() -> HRESULT {
        if (count == 0)
            return S_OK;
        const HRESULT hr = db->ExecDmlRetry(
            FormatSql(L"INSERT INTO files (id, %s) VALUES %s ON CONFLICT(id) DO UPDATE SET %s",
                      SqlVerbatim{kItemRowColumns}, SqlVerbatim{tuples}, SqlVerbatim{kAssignments})
                .c_str());
        tuples.clear();
        count = 0;
        return hr;
    };
    for (const PendingRow& row : pending) {
        const std::wstring values = FormatItemRowValues(*row.item, itemVersion);
        const size_t rowCount = std::max<size_t>(1, row.rowIds.size());
        for (size_t i = 0; i < rowCount; ++i) {
            tuples += count == 0 ? L"(" : L", (";
            tuples += row.rowIds.empty() ? L"NULL" : std::to_wstring(row.rowIds[i]);
            tuples += L", ";
            tuples += values;
            tuples += L")";
            if (++count == kRowsPerStatement) {
                const HRESULT hr = flush();
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    return flush();
}
