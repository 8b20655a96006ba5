#include "base/db/db.h"

#include "base/utility/formatstring.h"
#include "platform/strings.h"
#include "platform/tickcount.h"

CDB* GetDatabase() {
    // Never destroyed: a worker abandoned at exit may still be using it.
    static CDB* const database = new CDB;
    return database;
}

HRESULT CDB::Init(const std::wstring& path) {
    CAutoLock lock(m_lock);
    try {
        open(WideToUtf8(path).c_str());  // closes an open connection first
        return S_OK;
    } catch (const CppSQLite3Exception&) {
        return E_FAIL;
    }
}

HRESULT CDB::UnInit() {
    CAutoLock lock(m_lock);
    close();
    return S_OK;
}

HRESULT CDB::execDML(const wchar_t* sql, bool bTransaction) {
    CAutoLock lock(m_lock);
    bool begun = false;
    try {
        if (bTransaction) {
            CppSQLite3DB::execDML("BEGIN TRANSACTION;");
            begun = true;
        }
        if (sql)
            CppSQLite3DB::execDML(WideToUtf8(sql).c_str());
        if (bTransaction)
            CppSQLite3DB::execDML("COMMIT TRANSACTION;");
        return S_OK;
    } catch (const CppSQLite3Exception&) {
        // Nothing of a failed transaction may stay half done, nor may the
        // transaction stay open under later statements.
        if (begun) {
            try {
                CppSQLite3DB::execDML("ROLLBACK TRANSACTION;");
            } catch (const CppSQLite3Exception&) {
            }
        }
        return E_FAIL;
    }
}

HRESULT CDB::ExecDmlRetry(const wchar_t* sql, bool bTransaction) {
    HRESULT hr = execDML(sql, bTransaction);
    if (FAILED(hr)) {
        SleepMs(m_retryPauseMs);
        hr = execDML(sql, bTransaction);
    }
    return hr;
}

HRESULT CDB::BeginTransaction() {
    return ExecDmlRetry(L"BEGIN TRANSACTION;", false);
}

HRESULT CDB::CommitTransaction() {
    return ExecDmlRetry(L"COMMIT TRANSACTION;", false);
}

HRESULT CDB::execQuery(CDBQueryHelper& helper, const wchar_t* sql) {
    helper.m_query.finalize();
    try {
        helper.m_query = CppSQLite3DB::execQuery(WideToUtf8(sql ? sql : L"").c_str());
        return S_OK;
    } catch (const CppSQLite3Exception&) {
        return E_FAIL;
    }
}

HRESULT CDB::tableExists(const wchar_t* table, BOOL& exists) {
    try {
        exists = CppSQLite3DB::tableExists(WideToUtf8(table ? table : L"").c_str()) ? 1 : 0;
        return S_OK;
    } catch (const CppSQLite3Exception&) {
        return E_FAIL;
    }
}

HRESULT CDB::CreateTable(const std::wstring& table, const std::wstring& columns) {
    return ExecDmlRetry(FormatStringUnbounded(L"CREATE TABLE %s (%s)", table, columns).c_str());
}

HRESULT CDB::Select(CDBQueryHelper& helper, const std::wstring& table, const std::wstring& condition,
                    const std::wstring& tail) {
    return execQuery(helper,
                     FormatStringUnbounded(L"SELECT * FROM %s WHERE %s %s", table, condition, tail).c_str());
}

HRESULT CDB::SelectOne(CDBQueryHelper& helper, const std::wstring& table, const std::wstring& condition) {
    return Select(helper, table, condition, L"LIMIT 1");
}

HRESULT CDB::Insert(const std::wstring& table, const std::wstring& columns, const std::wstring& values) {
    return ExecDmlRetry(
        FormatStringUnbounded(L"INSERT INTO %s (%s) VALUES (%s)", table, columns, values).c_str());
}

HRESULT CDB::Update(const std::wstring& table, const std::wstring& assignments,
                    const std::wstring& condition) {
    return ExecDmlRetry(
        FormatStringUnbounded(L"UPDATE %s SET %s WHERE %s", table, assignments, condition).c_str());
}

HRESULT CDB::Delete(const std::wstring& table, const wchar_t* condition) {
    if (!condition)
        return ExecDmlRetry(FormatStringUnbounded(L"DELETE FROM %s", table).c_str());
    return ExecDmlRetry(FormatStringUnbounded(L"DELETE FROM %s WHERE %s", table, condition).c_str());
}

bool CDB::HasColumn(const std::wstring& table, const std::wstring& column) {
    CDBQueryHelper rows;
    if (FAILED(execQuery(rows, FormatStringUnbounded(L"PRAGMA table_info(%s)", table).c_str())))
        return false;
    for (; !rows.eof(); rows.nextRow()) {
        std::wstring name;
        if (rows.getStringField(name, 1) == column)
            return true;
    }
    return false;
}

HRESULT CDB::AddColumn(const std::wstring& table, const std::wstring& column, const std::wstring& type,
                       const std::wstring& defaultValue) {
    if (HasColumn(table, column))
        return S_FALSE;
    return ExecDmlRetry(
        FormatStringUnbounded(L"ALTER table %s add %s %s default %s", table, column, type, defaultValue)
            .c_str());
}
