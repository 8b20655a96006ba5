#include "base/db/cppsqlite3query.h"

#include <sqlite3.h>

#include <cstring>

#include "base/db/cppsqlite3exception.h"

CppSQLite3Query::CppSQLite3Query(sqlite3* db, sqlite3_stmt* vm, bool eof, bool ownVM)
    : mpDB(db), mpVM(vm), mbEof(eof), mnCols(vm ? sqlite3_column_count(vm) : 0), mbOwnVM(ownVM) {}

CppSQLite3Query::CppSQLite3Query(const CppSQLite3Query& other) {
    take(const_cast<CppSQLite3Query&>(other));
}

CppSQLite3Query& CppSQLite3Query::operator=(const CppSQLite3Query& other) {
    // Assigning a cursor to itself must not finalize the statement it holds.
    if (this != &other)
        take(const_cast<CppSQLite3Query&>(other));
    return *this;
}

CppSQLite3Query::~CppSQLite3Query() {
    finalize();
}

void CppSQLite3Query::take(CppSQLite3Query& other) {
    finalize();
    mpDB = other.mpDB;
    mpVM = other.mpVM;
    mbEof = other.mbEof;
    mnCols = other.mnCols;
    mbOwnVM = other.mbOwnVM;
    other.mpVM = nullptr;
    other.mbEof = true;
    other.mnCols = 0;
    other.mbOwnVM = false;
}

void CppSQLite3Query::finalize() {
    if (mpVM && mbOwnVM)
        sqlite3_finalize(mpVM);  // errors were reported by the step
    mpVM = nullptr;
    mbEof = true;
    mnCols = 0;
}

void CppSQLite3Query::checkVM() const {
    if (!mpVM)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");
}

void CppSQLite3Query::checkIndex(int col) const {
    checkVM();
    if (col < 0 || col > mnCols - 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field index requested");
}

bool CppSQLite3Query::eof() const {
    checkVM();
    return mbEof;
}

void CppSQLite3Query::nextRow() {
    checkVM();
    int rc = sqlite3_step(mpVM);
    if (rc == SQLITE_DONE) {
        mbEof = true;
    } else if (rc != SQLITE_ROW) {
        CppSQLite3Exception error(rc, sqlite3_errmsg(mpDB));
        finalize();
        throw error;
    }
}

int CppSQLite3Query::numFields() const {
    checkVM();
    return mnCols;
}

int CppSQLite3Query::fieldIndex(const char* field) const {
    checkVM();
    if (field) {
        for (int i = 0; i < mnCols; ++i) {
            const char* name = sqlite3_column_name(mpVM, i);
            if (name && std::strcmp(field, name) == 0)
                return i;
        }
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field name requested");
}

const char* CppSQLite3Query::fieldName(int col) const {
    checkIndex(col);
    return sqlite3_column_name(mpVM, col);
}

int CppSQLite3Query::fieldDataType(int col) const {
    checkIndex(col);
    return sqlite3_column_type(mpVM, col);
}

bool CppSQLite3Query::fieldIsNull(int col) const {
    return fieldDataType(col) == SQLITE_NULL;
}

const char* CppSQLite3Query::fieldValue(int col) const {
    checkIndex(col);
    return reinterpret_cast<const char*>(sqlite3_column_text(mpVM, col));
}

const char* CppSQLite3Query::fieldValue(const char* field) const {
    return fieldValue(fieldIndex(field));
}

int CppSQLite3Query::getIntField(int col, int nullValue) const {
    return fieldIsNull(col) ? nullValue : sqlite3_column_int(mpVM, col);
}

int CppSQLite3Query::getIntField(const char* field, int nullValue) const {
    return getIntField(fieldIndex(field), nullValue);
}

int64_t CppSQLite3Query::getInt64Field(int col, int64_t nullValue) const {
    return fieldIsNull(col) ? nullValue : sqlite3_column_int64(mpVM, col);
}

int64_t CppSQLite3Query::getInt64Field(const char* field, int64_t nullValue) const {
    return getInt64Field(fieldIndex(field), nullValue);
}

double CppSQLite3Query::getFloatField(int col, double nullValue) const {
    return fieldIsNull(col) ? nullValue : sqlite3_column_double(mpVM, col);
}

double CppSQLite3Query::getFloatField(const char* field, double nullValue) const {
    return getFloatField(fieldIndex(field), nullValue);
}

const char* CppSQLite3Query::getStringField(int col, const char* nullValue) const {
    return fieldIsNull(col) ? nullValue : reinterpret_cast<const char*>(sqlite3_column_text(mpVM, col));
}

const char* CppSQLite3Query::getStringField(const char* field, const char* nullValue) const {
    return getStringField(fieldIndex(field), nullValue);
}

const unsigned char* CppSQLite3Query::getBlobField(int col, int& len) const {
    checkIndex(col);
    const unsigned char* data = static_cast<const unsigned char*>(sqlite3_column_blob(mpVM, col));
    len = sqlite3_column_bytes(mpVM, col);
    return data;
}

const unsigned char* CppSQLite3Query::getBlobField(const char* field, int& len) const {
    return getBlobField(fieldIndex(field), len);
}
