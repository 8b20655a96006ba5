#pragma once
// A connection to one SQLite file. Every statement retries by itself while the
// database is busy: a busy handler bounds each wait, and each call retries the
// whole statement a bounded number of times before it gives up.
#include <atomic>

#include "base/db/cppsqlite3exception.h"
#include "base/db/cppsqlite3query.h"

struct sqlite3;
struct sqlite3_stmt;

class CppSQLite3DB {
public:
    // Calls of the busy handler within one wait, and retries of one statement.
    static constexpr int kDefaultBusyHandlerCalls = 1025;
    static constexpr int kDefaultBusyRetries = 129;

    CppSQLite3DB() = default;
    virtual ~CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;

    void open(const char* file);
    void close();
    bool isOpen() const { return mpDB != nullptr; }
    void setBusyTimeout(int milliseconds);
    // Tests shorten the busy waits; the budget is counted per call, so one
    // long busy spell never uses up the retries of later calls.
    void setBusyRetryLimits(int handlerCalls, int retries);

    // Runs statements without rows; returns the count of changed rows.
    int execDML(const char* sql);
    // Compiles one statement and steps it once.
    CppSQLite3Query execQuery(const char* sql);
    // First column of the first row as an integer.
    int execScalar(const char* sql);
    bool tableExists(const char* table);
    // Whole-statement retries the last busy call on this connection needed.
    int lastBusyRetries() const { return mnLastBusyRetries; }

private:
    static int busyHandler(void* context, int calls);
    void checkDB() const;
    void installBusyHandler();
    // Both retry while busy, counting into the call's retries up to budget.
    int prepareRetrying(const char* sql, sqlite3_stmt** vm, const char** tail, int budget, int& retries);
    int stepRetrying(sqlite3_stmt* vm, int budget, int& retries);

    // Null until opened.
    sqlite3* mpDB = nullptr;
    int mnBusyTimeoutMs = 60000;
    std::atomic<int> mnBusyHandlerCalls{kDefaultBusyHandlerCalls};
    std::atomic<int> mnBusyRetries{kDefaultBusyRetries};
    std::atomic<int> mnLastBusyRetries{0};
};
