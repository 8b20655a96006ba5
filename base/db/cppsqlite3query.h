#pragma once
// A forward-only cursor over one SQLite statement. Copying or assigning a
// cursor moves the statement to the target, so exactly one cursor finalizes it.
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

class CppSQLite3Query {
public:
    CppSQLite3Query() = default;
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* vm, bool eof, bool ownVM = true);
    // Both take the statement from the source, which is left empty.
    CppSQLite3Query(const CppSQLite3Query& other);
    CppSQLite3Query& operator=(const CppSQLite3Query& other);
    virtual ~CppSQLite3Query();

    bool eof() const;
    void nextRow();
    // Finalizes the statement now; the cursor becomes empty.
    void finalize();

    int numFields() const;
    int fieldIndex(const char* field) const;
    const char* fieldName(int col) const;
    int fieldDataType(int col) const;
    bool fieldIsNull(int col) const;
    const char* fieldValue(int col) const;
    const char* fieldValue(const char* field) const;

    // Typed reads; a NULL column gives the default.
    int getIntField(int col, int nullValue = 0) const;
    int getIntField(const char* field, int nullValue = 0) const;
    int64_t getInt64Field(int col, int64_t nullValue = 0) const;
    int64_t getInt64Field(const char* field, int64_t nullValue = 0) const;
    double getFloatField(int col, double nullValue = 0.0) const;
    double getFloatField(const char* field, double nullValue = 0.0) const;
    const char* getStringField(int col, const char* nullValue = "") const;
    const char* getStringField(const char* field, const char* nullValue = "") const;
    const unsigned char* getBlobField(int col, int& len) const;
    const unsigned char* getBlobField(const char* field, int& len) const;

private:
    void checkVM() const;
    void checkIndex(int col) const;
    // Takes other's statement, finalizing the one held before.
    void take(CppSQLite3Query& other);

    sqlite3* mpDB = nullptr;
    // Null when the cursor is empty.
    sqlite3_stmt* mpVM = nullptr;
    // True when no current row remains.
    bool mbEof = true;
    int mnCols = 0;
    // True when this cursor finalizes the statement.
    bool mbOwnVM = false;
};
