#include "base/db/cppsqlite3db.h"

#include <sqlite3.h>
#include <sched.h>

#include <cstdlib>
#include <string>

CppSQLite3DB::~CppSQLite3DB() {
    close();
}

void CppSQLite3DB::open(const char* file) {
    close();
    int rc = sqlite3_open(file ? file : "", &mpDB);
    if (rc != SQLITE_OK) {
        CppSQLite3Exception error(rc, mpDB ? sqlite3_errmsg(mpDB) : "");
        close();
        throw error;
    }
    setBusyTimeout(mnBusyTimeoutMs);
}

void CppSQLite3DB::close() {
    if (mpDB) {
        // A cursor still alive keeps the connection until it is finalized,
        // instead of leaving it open for good.
        sqlite3_close_v2(mpDB);
        mpDB = nullptr;
    }
}

void CppSQLite3DB::setBusyTimeout(int milliseconds) {
    mnBusyTimeoutMs = milliseconds;
    if (mpDB)
        sqlite3_busy_timeout(mpDB, milliseconds);
}

void CppSQLite3DB::setBusyRetryLimits(int handlerCalls, int retries) {
    mnBusyHandlerCalls = handlerCalls;
    mnBusyRetries = retries;
}

void CppSQLite3DB::checkDB() const {
    if (!mpDB)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Database not open");
}

int CppSQLite3DB::busyHandler(void* context, int calls) {
    auto* self = static_cast<CppSQLite3DB*>(context);
    if (calls >= self->mnBusyHandlerCalls.load())
        return 0;
    sched_yield();
    return 1;
}

void CppSQLite3DB::installBusyHandler() {
    sqlite3_busy_handler(mpDB, &CppSQLite3DB::busyHandler, this);
}

int CppSQLite3DB::execDML(const char* sql) {
    checkDB();
    installBusyHandler();
    const int budget = mnBusyRetries.load();
    int retries = 0;
    // One statement at a time, so a busy retry never runs again the statements
    // of the text that already went through.
    const char* next = sql ? sql : "";
    while (*next) {
        sqlite3_stmt* vm = nullptr;
        const char* tail = nullptr;
        int rc = prepareRetrying(next, &vm, &tail, budget, retries);
        if (rc != SQLITE_OK) {
            mnLastBusyRetries = retries;
            throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
        }
        next = tail ? tail : "";
        if (!vm)
            continue;  // blanks or a comment
        // Rows a statement gives are passed over, as the exec call of SQLite does.
        do {
            rc = stepRetrying(vm, budget, retries);
        } while (rc == SQLITE_ROW);
        mnLastBusyRetries = retries;
        if (rc != SQLITE_DONE) {
            CppSQLite3Exception error(rc, sqlite3_errmsg(mpDB));
            sqlite3_finalize(vm);
            throw error;
        }
        sqlite3_finalize(vm);
    }
    return sqlite3_changes(mpDB);
}

CppSQLite3Query CppSQLite3DB::execQuery(const char* sql) {
    checkDB();
    installBusyHandler();
    const int budget = mnBusyRetries.load();
    int retries = 0;
    sqlite3_stmt* vm = nullptr;
    int rc = prepareRetrying(sql ? sql : "", &vm, nullptr, budget, retries);
    if (rc != SQLITE_OK) {
        mnLastBusyRetries = retries;
        throw CppSQLite3Exception(rc, "");
    }
    if (!vm)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");  // empty text
    rc = stepRetrying(vm, budget, retries);
    mnLastBusyRetries = retries;
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(mpDB, vm, true);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(mpDB, vm, false);
    CppSQLite3Exception error(rc, sqlite3_errmsg(mpDB));
    sqlite3_finalize(vm);
    throw error;
}

// Compiling reads the schema, so another connection's lock makes it busy too.
int CppSQLite3DB::prepareRetrying(const char* sql, sqlite3_stmt** vm, const char** tail, int budget,
                                  int& retries) {
    int rc = sqlite3_prepare_v2(mpDB, sql, -1, vm, tail);
    while (rc == SQLITE_BUSY && retries < budget) {
        sched_yield();
        ++retries;
        rc = sqlite3_prepare_v2(mpDB, sql, -1, vm, tail);
    }
    return rc;
}

int CppSQLite3DB::stepRetrying(sqlite3_stmt* vm, int budget, int& retries) {
    int rc = sqlite3_step(vm);
    while (rc == SQLITE_BUSY && retries < budget) {
        sched_yield();
        ++retries;
        rc = sqlite3_step(vm);
    }
    return rc;
}

int CppSQLite3DB::execScalar(const char* sql) {
    CppSQLite3Query query = execQuery(sql);
    if (query.eof() || query.numFields() < 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid scalar query");
    const char* text = query.fieldValue(0);
    return text ? std::atoi(text) : 0;
}

bool CppSQLite3DB::tableExists(const char* table) {
    std::string sql = "select count(*) from sqlite_master where type='table' and name='";
    for (const char* p = table ? table : ""; *p; ++p) {
        sql += *p;
        if (*p == '\'')
            sql += '\'';  // a quote in the name must not end the literal
    }
    sql += "'";
    return execScalar(sql.c_str()) > 0;
}
