#include "base/db/dbqueryhelper.h"

#include "base/db/cppsqlite3exception.h"
#include "platform/strings.h"

bool CDBQueryHelper::eof() {
    try {
        return m_query.eof();
    } catch (const CppSQLite3Exception&) {
        return true;
    }
}

HRESULT CDBQueryHelper::nextRow() {
    try {
        m_query.nextRow();
        return S_OK;
    } catch (const CppSQLite3Exception&) {
        return E_FAIL;
    }
}

namespace {

template <class Read, class T>
T ReadOr(Read read, T defaultValue) {
    try {
        return read();
    } catch (const CppSQLite3Exception&) {
        return defaultValue;
    }
}

}  // namespace

int CDBQueryHelper::getIntField(int field, int defaultValue) {
    return ReadOr([&] { return m_query.getIntField(field, defaultValue); }, defaultValue);
}

int CDBQueryHelper::getIntField(const char* field, int defaultValue) {
    return ReadOr([&] { return m_query.getIntField(field, defaultValue); }, defaultValue);
}

int64_t CDBQueryHelper::getInt64Field(int field, int64_t defaultValue) {
    return ReadOr([&] { return m_query.getInt64Field(field, defaultValue); }, defaultValue);
}

int64_t CDBQueryHelper::getInt64Field(const char* field, int64_t defaultValue) {
    return ReadOr([&] { return m_query.getInt64Field(field, defaultValue); }, defaultValue);
}

double CDBQueryHelper::getFloatField(int field, double defaultValue) {
    return ReadOr([&] { return m_query.getFloatField(field, defaultValue); }, defaultValue);
}

double CDBQueryHelper::getFloatField(const char* field, double defaultValue) {
    return ReadOr([&] { return m_query.getFloatField(field, defaultValue); }, defaultValue);
}

const unsigned char* CDBQueryHelper::getBlobField(int field, int& len) {
    len = 0;
    return ReadOr([&] { return m_query.getBlobField(field, len); },
                  static_cast<const unsigned char*>(nullptr));
}

const unsigned char* CDBQueryHelper::getBlobField(const char* field, int& len) {
    len = 0;
    return ReadOr([&] { return m_query.getBlobField(field, len); },
                  static_cast<const unsigned char*>(nullptr));
}

std::wstring& CDBQueryHelper::getStringField(std::wstring& out, int field, const std::wstring& defaultValue) {
    const std::string fallback = WideToUtf8(defaultValue);
    const char* text =
        ReadOr([&] { return m_query.getStringField(field, fallback.c_str()); }, fallback.c_str());
    out = Utf8ToWide(std::string(text ? text : ""));
    return out;
}

std::wstring& CDBQueryHelper::getStringField(std::wstring& out, const char* field,
                                             const std::wstring& defaultValue) {
    try {
        return getStringField(out, m_query.fieldIndex(field), defaultValue);
    } catch (const CppSQLite3Exception&) {
        out = defaultValue;
        return out;
    }
}
