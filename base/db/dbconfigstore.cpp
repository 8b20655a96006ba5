#include "base/db/dbconfigstore.h"

#include <climits>
#include <cwctype>

#include "base/db/db.h"
#include "base/db/sqltext.h"

DbConfigStore* GetDbConfigStore() {
    // Never destroyed: a worker abandoned at exit may still be using it.
    static DbConfigStore* const store = new DbConfigStore;
    return store;
}

void CloseUserDatabase() {
    GetDbConfigStore()->Close();
    GetDatabase()->UnInit();
}

HRESULT DbConfigStore::Open(CDB* db, const std::wstring& table) {
    m_db = db;
    m_table = table;
    return EnsureTable();
}

void DbConfigStore::Close() {
    m_db = nullptr;
    m_table.clear();
}

HRESULT DbConfigStore::EnsureTable() {
    if (!m_db)
        return E_FAIL;
    BOOL exists = 0;
    HRESULT hr = m_db->tableExists(m_table.c_str(), exists);
    if (FAILED(hr))
        return hr;
    if (exists)
        return S_OK;
    return m_db->CreateTable(m_table, L"section TEXT, field TEXT, value TEXT");
}

std::wstring DbConfigStore::Condition(const std::wstring& section, const std::wstring& field) const {
    return FormatSql(L"section = '%s' AND field = '%s'", section, field);
}

HRESULT DbConfigStore::SetString(const std::wstring& section, const std::wstring& field,
                                 const std::wstring& text) {
    if (!m_db)
        return E_FAIL;
    const std::wstring condition = Condition(section, field);
    CDBQueryHelper rows;
    // A failed read must not be taken for a missing row: inserting then would
    // leave two rows for one field.
    if (FAILED(m_db->Select(rows, m_table, condition, L"")))
        return E_FAIL;
    if (rows.eof()) {
        return m_db->Insert(m_table, L"section, field, value",
                            FormatSql(L"'%s', '%s', '%s'", section, field, text));
    }
    return m_db->Update(m_table, FormatSql(L"value = '%s'", text), condition);
}

HRESULT DbConfigStore::SetInt(const std::wstring& section, const std::wstring& field, int value) {
    return SetString(section, field, std::to_wstring(value));
}

HRESULT DbConfigStore::SetInt64(const std::wstring& section, const std::wstring& field, int64_t value) {
    return SetString(section, field, std::to_wstring(value));
}

HRESULT DbConfigStore::GetString(std::wstring& out, const std::wstring& section, const std::wstring& field,
                                 const std::wstring& defaultValue) {
    out = defaultValue;
    if (!m_db)
        return E_FAIL;
    CDBQueryHelper rows;
    if (FAILED(m_db->Select(rows, m_table, Condition(section, field), L"")))
        return E_FAIL;
    if (!rows.eof())
        rows.getStringField(out, "value", defaultValue);
    return S_OK;
}

int DbConfigStore::GetInt(const std::wstring& section, const std::wstring& field, int defaultValue) {
    std::wstring text;
    GetString(text, section, field, L"");
    if (text.empty())
        return defaultValue;
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<int64_t>(INT_MAX) + 1)
            break;  // saturated either way
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
