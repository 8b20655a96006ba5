#pragma once
// Section/field/value settings kept as text in a table of the per-user
// database ("config": section TEXT, field TEXT, value TEXT).
#include <cstdint>
#include <string>

#include "platform/hresult.h"

class CDB;

class DbConfigStore {
public:
    // Binds the store to the table and creates the table when it is missing.
    HRESULT Open(CDB* db, const std::wstring& table);
    HRESULT EnsureTable();
    // Unbinds; every later call fails until the next Open.
    void Close();

    HRESULT SetString(const std::wstring& section, const std::wstring& field, const std::wstring& text);
    HRESULT SetInt(const std::wstring& section, const std::wstring& field, int value);
    HRESULT SetInt64(const std::wstring& section, const std::wstring& field, int64_t value);
    // The default when the field is missing or cannot be read.
    HRESULT GetString(std::wstring& out, const std::wstring& section, const std::wstring& field,
                      const std::wstring& defaultValue);
    // Leading decimal digits of the stored text, saturated to 32 bits; the
    // default when the field is missing or empty.
    int GetInt(const std::wstring& section, const std::wstring& field, int defaultValue);

private:
    std::wstring Condition(const std::wstring& section, const std::wstring& field) const;

    // Null until opened.
    CDB* m_db = nullptr;
    // Empty until opened.
    std::wstring m_table;
};

// The process-wide store.
DbConfigStore* GetDbConfigStore();
// Unbinds the store and closes the process-wide connection (log-out).
void CloseUserDatabase();
