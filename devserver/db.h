#pragma once
// A thin SQLite connection for the emulator's store: statements with bound
// values, rows as texts. Not thread-safe; the store serialises every use.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

namespace devserver {

// A bound value: text or integer.
struct DbValue {
    DbValue(const std::string& s) : text(s) {}
    DbValue(const char* s) : text(s) {}
    DbValue(int64_t v) : isInt(true), number(v) {}
    DbValue(int v) : isInt(true), number(v) {}
    DbValue(long long v) : isInt(true), number(static_cast<int64_t>(v)) {}
    bool isInt = false;
    int64_t number = 0;
    std::string text;
};

using DbRow = std::vector<std::string>;

class Db {
public:
    Db() = default;
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    bool Open(const std::string& path, std::string* error);
    // Runs one statement; throws DbError on failure.
    void Exec(const std::string& sql, const std::vector<DbValue>& args = {});
    std::vector<DbRow> Query(const std::string& sql, const std::vector<DbValue>& args = {});
    // First column of the first row, or fallback when there is no row.
    std::string Scalar(const std::string& sql, const std::vector<DbValue>& args,
                       const std::string& fallback = "");
    int64_t ScalarInt(const std::string& sql, const std::vector<DbValue>& args, int64_t fallback = 0);
    int Changes() const;

private:
    sqlite3* m_db = nullptr;
};

struct DbError {
    std::string message;
};

}  // namespace devserver
