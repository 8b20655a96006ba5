#include "devserver/db.h"

#include <sqlite3.h>

namespace devserver {

namespace {

struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

void Prepare(sqlite3* db, const std::string& sql, const std::vector<DbValue>& args, StatementGuard& guard) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &guard.stmt, nullptr) !=
        SQLITE_OK) {
        throw DbError{sqlite3_errmsg(db)};
    }
    for (size_t i = 0; i < args.size(); ++i) {
        int rc = args[i].isInt ? sqlite3_bind_int64(guard.stmt, static_cast<int>(i + 1), args[i].number)
                               : sqlite3_bind_text(guard.stmt, static_cast<int>(i + 1), args[i].text.data(),
                                                   static_cast<int>(args[i].text.size()), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK) {
            throw DbError{sqlite3_errmsg(db)};
        }
    }
}

}  // namespace

Db::~Db() {
    if (m_db) {
        sqlite3_close(m_db);
    }
}

bool Db::Open(const std::string& path, std::string* error) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        if (error) {
            *error = m_db ? sqlite3_errmsg(m_db) : "cannot open database";
        }
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void Db::Exec(const std::string& sql, const std::vector<DbValue>& args) {
    StatementGuard guard;
    Prepare(m_db, sql, args, guard);
    int rc;
    while ((rc = sqlite3_step(guard.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        throw DbError{sqlite3_errmsg(m_db)};
    }
}

std::vector<DbRow> Db::Query(const std::string& sql, const std::vector<DbValue>& args) {
    StatementGuard guard;
    Prepare(m_db, sql, args, guard);
    std::vector<DbRow> rows;
    int rc;
    while ((rc = sqlite3_step(guard.stmt)) == SQLITE_ROW) {
        int n = sqlite3_column_count(guard.stmt);
        DbRow row(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const unsigned char* text = sqlite3_column_text(guard.stmt, i);
            if (text) {
                row[static_cast<size_t>(i)].assign(reinterpret_cast<const char*>(text),
                                                   static_cast<size_t>(sqlite3_column_bytes(guard.stmt, i)));
            }
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        throw DbError{sqlite3_errmsg(m_db)};
    }
    return rows;
}

std::string Db::Scalar(const std::string& sql, const std::vector<DbValue>& args,
                       const std::string& fallback) {
    auto rows = Query(sql, args);
    return rows.empty() || rows[0].empty() ? fallback : rows[0][0];
}

int64_t Db::ScalarInt(const std::string& sql, const std::vector<DbValue>& args, int64_t fallback) {
    auto rows = Query(sql, args);
    return rows.empty() || rows[0].empty() || rows[0][0].empty() ? fallback : std::stoll(rows[0][0]);
}

int Db::Changes() const {
    return sqlite3_changes(m_db);
}

}  // namespace devserver
