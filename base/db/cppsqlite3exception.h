#pragma once
// The one failure report of the SQLite wrapper: SQLite's result code (or 1000
// for the wrapper's own errors) and the message "NAME[code]: text".
#include <string>

constexpr int CPPSQLITE_ERROR = 1000;

class CppSQLite3Exception {
public:
    // When freeWithSqlite is set, errorMessage came from SQLite's allocator and
    // is released here after copying.
    CppSQLite3Exception(int errorCode, const char* errorMessage, bool freeWithSqlite = false);
    virtual ~CppSQLite3Exception() = default;

    int errorCode() const { return mnErrCode; }
    const char* errorMessage() const { return mpszErrMess.c_str(); }

    // "SQLITE_BUSY" and the like; "UNKNOWN_ERROR" for codes without a name.
    static const char* errorCodeAsString(int errorCode);

private:
    int mnErrCode;
    std::string mpszErrMess;
};
