#include "devserver/store.h"

#include <filesystem>

#include "devserver/ids.h"

namespace devserver {

namespace fs = std::filesystem;

bool Store::Open(const std::string& dataDir, std::string* error) {
    std::error_code ec;
    m_dataDir = dataDir;
    m_blobDir = dataDir + "/blobs";
    m_tempDir = dataDir + "/tmp";
    fs::create_directories(m_blobDir, ec);
    fs::create_directories(m_tempDir, ec);
    if (ec) {
        if (error) {
            *error = "cannot create " + dataDir + ": " + ec.message();
        }
        return false;
    }
    if (!m_db.Open(dataDir + "/devserver.db", error)) {
        return false;
    }
    try {
        m_db.Exec("PRAGMA journal_mode=WAL");
        CreateSchema();
    } catch (const DbError& e) {
        if (error) {
            *error = e.message;
        }
        return false;
    }
    return true;
}

void Store::CreateSchema() {
    static const char* const kSchema[] = {
        "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS users(id TEXT PRIMARY KEY, login TEXT NOT NULL UNIQUE COLLATE NOCASE,"
        " password TEXT NOT NULL, email TEXT NOT NULL UNIQUE COLLATE NOCASE, nick TEXT NOT NULL,"
        " opVer INTEGER NOT NULL, shareVer INTEGER NOT NULL, lastDevice TEXT NOT NULL DEFAULT '',"
        " total INTEGER NOT NULL, active INTEGER NOT NULL DEFAULT 1)",
        "CREATE TABLE IF NOT EXISTS tokens(token TEXT PRIMARY KEY, user TEXT NOT NULL, device TEXT NOT NULL,"
        " revoked INTEGER NOT NULL DEFAULT 0)",
        // state: 0 live; 1 top of a tree in the recycle bin; 2 inside a recycled tree.
        "CREATE TABLE IF NOT EXISTS items(id TEXT PRIMARY KEY, owner TEXT NOT NULL, parent TEXT NOT NULL,"
        " name TEXT NOT NULL, folder INTEGER NOT NULL, size INTEGER NOT NULL DEFAULT 0,"
        " sha1 TEXT NOT NULL DEFAULT '', fileVer INTEGER NOT NULL DEFAULT 0, opVer INTEGER NOT NULL,"
        " created TEXT NOT NULL, modTime TEXT NOT NULL, modifier TEXT NOT NULL DEFAULT '',"
        " state INTEGER NOT NULL DEFAULT 0, blob TEXT NOT NULL DEFAULT '', fileKey TEXT NOT NULL DEFAULT '',"
        " blobSha1 TEXT NOT NULL DEFAULT '', prevBlob TEXT NOT NULL DEFAULT '',"
        " prevKey TEXT NOT NULL DEFAULT '', prevBlobSha1 TEXT NOT NULL DEFAULT '',"
        " prevSha1 TEXT NOT NULL DEFAULT '', prevSize INTEGER NOT NULL DEFAULT 0,"
        " prevFileVer INTEGER NOT NULL DEFAULT 0, prevModTime TEXT NOT NULL DEFAULT '')",
        "CREATE INDEX IF NOT EXISTS items_parent ON items(parent, state)",
        "CREATE INDEX IF NOT EXISTS items_owner ON items(owner, state)",
        // Every create looks for a sibling of the same name, ignoring case.
        "CREATE INDEX IF NOT EXISTS items_sibling_name ON items(parent, state, name COLLATE NOCASE)",
        "CREATE TABLE IF NOT EXISTS shares(item TEXT NOT NULL, user TEXT NOT NULL, rights INTEGER NOT NULL,"
        " PRIMARY KEY(item, user))",
        // kind: "up" binds a pending upload; "down" a blob handed out for download.
        "CREATE TABLE IF NOT EXISTS stubs(stub TEXT PRIMARY KEY, kind TEXT NOT NULL, user TEXT NOT NULL,"
        " item TEXT NOT NULL, baseVer INTEGER NOT NULL DEFAULT 0, size INTEGER NOT NULL DEFAULT 0,"
        " sha1 TEXT NOT NULL DEFAULT '', fileKey TEXT NOT NULL DEFAULT '', blob TEXT NOT NULL DEFAULT '',"
        " device TEXT NOT NULL DEFAULT '', created INTEGER NOT NULL DEFAULT 0)",
    };
    for (const char* sql : kSchema) {
        m_db.Exec(sql);
    }
    // Data folders made before stubs expired lack the column.
    try {
        m_db.Exec("ALTER TABLE stubs ADD COLUMN created INTEGER NOT NULL DEFAULT 0");
    } catch (const DbError&) {
    }
}

void Store::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const char* table : {"meta", "users", "tokens", "items", "shares", "stubs"}) {
        m_db.Exec(std::string("DELETE FROM ") + table);
    }
    std::error_code ec;
    fs::remove_all(m_blobDir, ec);
    fs::create_directories(m_blobDir, ec);
}

std::string Store::TempPath(const std::string& suffix) const {
    return m_tempDir + "/" + RandomHex(16) + suffix;
}

void Store::Begin() {
    m_db.Exec("BEGIN IMMEDIATE");
}
void Store::Commit() {
    m_db.Exec("COMMIT");
}
void Store::Rollback() {
    try {
        m_db.Exec("ROLLBACK");
    } catch (const DbError&) {
    }
}

}  // namespace devserver
