#pragma once
// The emulator's persistent state: one SQLite file plus a folder of stored
// blobs. Every operation runs as one transaction under one lock, so each
// request sees and leaves a consistent tree however many arrive at once.
#include <functional>
#include <mutex>
#include <string>

#include "devserver/db.h"

namespace devserver {

class Store {
public:
    // Opens (creating when needed) "devserver.db" and "blobs/" below dataDir.
    bool Open(const std::string& dataDir, std::string* error);

    // Runs fn inside a transaction; a thrown DbError rolls it back and is rethrown.
    template <class Fn>
    auto Run(Fn fn) -> decltype(fn(std::declval<Db&>())) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Begin();
        try {
            if constexpr (std::is_void_v<decltype(fn(m_db))>) {
                fn(m_db);
                Commit();
            } else {
                auto result = fn(m_db);
                Commit();
                return result;
            }
        } catch (...) {
            Rollback();
            throw;
        }
    }

    // Drops every table's rows and every blob (test-hook reset).
    void Clear();

    const std::string& DataDir() const { return m_dataDir; }
    const std::string& BlobDir() const { return m_blobDir; }
    // A fresh path for a temporary file below the data folder.
    std::string TempPath(const std::string& suffix) const;

private:
    void Begin();
    void Commit();
    void Rollback();
    void CreateSchema();

    std::mutex m_mutex;
    Db m_db;
    std::string m_dataDir;
    std::string m_blobDir;
    std::string m_tempDir;
};

}  // namespace devserver
