#pragma once
// The process-wide connection to the per-user database. Every wrapper failure
// becomes E_FAIL; changes are serialised by the connection's lock and retried
// once after a pause. The builders take SQL pieces as they stand: values must
// be escaped by the caller (see sqltext.h).
#include <atomic>
#include <cstdint>
#include <string>

#include "base/db/cppsqlite3db.h"
#include "base/db/dbqueryhelper.h"
#include "platform/criticalsection.h"
#include "platform/hresult.h"

class CDB : public CppSQLite3DB {
public:
    CDB() = default;

    // Opens the file, closing a connection that is still open first.
    HRESULT Init(const std::wstring& path);
    HRESULT UnInit();

    // With bTransaction, the text runs between BEGIN and COMMIT and is rolled
    // back as a whole when any of it fails. A null text runs nothing.
    HRESULT execDML(const wchar_t* sql, bool bTransaction = false);
    // execDML, and once more after a pause when it failed.
    HRESULT ExecDmlRetry(const wchar_t* sql, bool bTransaction = false);
    HRESULT BeginTransaction();
    HRESULT CommitTransaction();
    // On failure the helper is left empty (it reads as end at once).
    HRESULT execQuery(CDBQueryHelper& helper, const wchar_t* sql);
    HRESULT tableExists(const wchar_t* table, BOOL& exists);

    HRESULT CreateTable(const std::wstring& table, const std::wstring& columns);
    HRESULT Select(CDBQueryHelper& helper, const std::wstring& table, const std::wstring& condition,
                   const std::wstring& tail);
    HRESULT SelectOne(CDBQueryHelper& helper, const std::wstring& table, const std::wstring& condition);
    HRESULT Insert(const std::wstring& table, const std::wstring& columns, const std::wstring& values);
    HRESULT Update(const std::wstring& table, const std::wstring& assignments, const std::wstring& condition);
    // A null condition deletes every row.
    HRESULT Delete(const std::wstring& table, const wchar_t* condition);
    // True when the table has a column of that name (compared exactly).
    bool HasColumn(const std::wstring& table, const std::wstring& column);
    // S_FALSE without running anything when the column exists.
    HRESULT AddColumn(const std::wstring& table, const std::wstring& column, const std::wstring& type,
                      const std::wstring& defaultValue);

    // The pause before the second try of a change (1000 ms; tests shorten it).
    void SetRetryPauseMs(uint32_t ms) { m_retryPauseMs = ms; }

private:
    // Serialises changes and the opening and closing of the connection.
    CCriticalSection m_lock{LockRank::kDatabase};
    std::atomic<uint32_t> m_retryPauseMs{1000};
};

// The process-wide connection, created on first use.
CDB* GetDatabase();
