#pragma once
// Typed reads of a query's rows with defaults: every failure (an empty helper,
// an unknown column, a failed step) reads as the default or as the end.
#include <cstdint>
#include <string>

#include "base/db/cppsqlite3query.h"
#include "platform/hresult.h"

class CDBQueryHelper {
public:
    CDBQueryHelper() = default;

    bool eof();
    HRESULT nextRow();

    int getIntField(int field, int defaultValue = 0);
    int getIntField(const char* field, int defaultValue = 0);
    int64_t getInt64Field(int field, int64_t defaultValue = 0);
    int64_t getInt64Field(const char* field, int64_t defaultValue = 0);
    double getFloatField(int field, double defaultValue = 0.0);
    double getFloatField(const char* field, double defaultValue = 0.0);
    // Null with len 0 on an error.
    const unsigned char* getBlobField(int field, int& len);
    const unsigned char* getBlobField(const char* field, int& len);
    std::wstring& getStringField(std::wstring& out, int field,
                                 const std::wstring& defaultValue = std::wstring());
    std::wstring& getStringField(std::wstring& out, const char* field,
                                 const std::wstring& defaultValue = std::wstring());

private:
    friend class CDB;

    CppSQLite3Query m_query;
};
