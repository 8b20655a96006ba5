#include "base/db/cppsqlite3exception.h"

#include <sqlite3.h>

CppSQLite3Exception::CppSQLite3Exception(int errorCode, const char* errorMessage, bool freeWithSqlite)
    : mnErrCode(errorCode) {
    mpszErrMess = std::string(errorCodeAsString(errorCode)) + "[" + std::to_string(errorCode) +
                  "]: " + (errorMessage ? errorMessage : "");
    if (freeWithSqlite && errorMessage)
        sqlite3_free(const_cast<char*>(errorMessage));
}

const char* CppSQLite3Exception::errorCodeAsString(int errorCode) {
    static const char* const kNames[] = {
        "SQLITE_OK",       "SQLITE_ERROR",   "SQLITE_INTERNAL", "SQLITE_PERM",     "SQLITE_ABORT",
        "SQLITE_BUSY",     "SQLITE_LOCKED",  "SQLITE_NOMEM",    "SQLITE_READONLY", "SQLITE_INTERRUPT",
        "SQLITE_IOERR",    "SQLITE_CORRUPT", "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN",
        "SQLITE_PROTOCOL", "SQLITE_EMPTY",   "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
        "SQLITE_MISMATCH", "SQLITE_MISUSE",  "SQLITE_NOLFS",    "SQLITE_AUTH",     "SQLITE_FORMAT",
        "SQLITE_RANGE"};
    if (errorCode >= 0 && errorCode <= 25)
        return kNames[errorCode];
    switch (errorCode) {
        case 100:
            return "SQLITE_ROW";
        case 101:
            return "SQLITE_DONE";
        case CPPSQLITE_ERROR:
            return "CPPSQLITE_ERROR";
        default:
            return "UNKNOWN_ERROR";
    }
}
