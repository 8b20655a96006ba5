#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "core/localstorage/localstorage/sharerlist.h"
#include "tests/core/localstorage/localstorage/localstoragefixture.h"

namespace {

RemoteItem File(const std::wstring& id, const std::wstring& parent, const std::wstring& name) {
    RemoteItem item;
    item.fileId = id;
    item.parentId = parent;
    item.name = name;
    item.sha1 = L"da39a3ee5e6b4b0d3255bfef95601890afd80709";
    item.size = 10;
    item.fileVer = 1;
    item.createdTime = L"2024-01-02 03:04:05";
    item.modTime = L"2024-01-02 03:04:06";
    return item;
}

RemoteItem Folder(const std::wstring& id, const std::wstring& parent, const std::wstring& name) {
    RemoteItem item;
    item.isFolder = 1;
    item.fileId = id;
    item.parentId = parent;
    item.name = name;
    return item;
}

std::vector<std::wstring> Ids(const std::vector<RemoteItem>& items) {
    std::vector<std::wstring> ids;
    for (const RemoteItem& item : items)
        ids.push_back(item.fileId);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Every column of every row, in id order.
std::vector<std::wstring> DumpFiles(CDB* db) {
    CDBQueryHelper rows;
    EXPECT_EQ(db->execQuery(rows, L"SELECT * FROM files ORDER BY id"), S_OK);
    std::vector<std::wstring> dump;
    for (; !rows.eof(); rows.nextRow()) {
        std::wstring line;
        for (int column = 0; column < 17; ++column) {
            std::wstring field;
            line += rows.getStringField(field, column, L"<null>") + L"|";
        }
        dump.push_back(line);
    }
    return dump;
}

class Cache : public LocalStorageTest {
protected:
    void SetUp() override {
        LocalStorageTest::SetUp();
        Open();
    }
    // One listing pass as the folder listing writes it.
    void List(const std::wstring& parent, const std::vector<RemoteItem>& items) {
        ASSERT_EQ(storage_->Lock(), S_OK);
        for (const RemoteItem& item : items)
            ASSERT_EQ(storage_->AddOrUpdateFileItem(item), S_OK);
        ASSERT_EQ(storage_->DeleteStaleChildren(parent), S_OK);
        ASSERT_EQ(storage_->Unlock(), S_OK);
    }
    void Exec(const wchar_t* sql) { ASSERT_EQ(db_->execDML(sql), S_OK) << WideToUtf8(sql); }
};

TEST_F(Cache, FreshnessFollowsTheCacheVersions) {
    enum Row { kNone, kFolder, kFile };
    struct Case {
        const char* what;
        int version;  // 0: none set
        Row row;      // under the id "f"
        bool stamp;   // the folder's cache version stamped
        int after;    // 0: no push after the stamp
        std::wstring id;
        HRESULT want;
    };
    const std::vector<Case> cases = {
        {"no row", 0, kNone, false, 0, L"missing", S_FALSE},
        {"listed as a child only", 0, kFolder, false, 0, L"f", S_FALSE},
        {"stamped with the current version", 7, kFolder, true, 0, L"f", S_OK},
        {"version raised after the stamp", 7, kFolder, true, 8, L"f", S_FALSE},
        {"a file row is no folder", 0, kFile, true, 0, L"f", S_FALSE},
        {"root with nothing stored", 0, kNone, false, 0, L"", S_OK},
        {"root after a push", 3, kNone, false, 0, L"", S_FALSE},
        {"root listed", 3, kNone, true, 0, L"", S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(storage_->ClearLastSnapshot(), S_OK);
        Exec(L"DELETE FROM config");
        if (c.version)
            storage_->SetCurCacheVesion(c.version);
        if (c.row != kNone)
            storage_->AddOrUpdateFileItem(c.row == kFolder ? Folder(L"f", L"", L"F") : File(L"f", L"", L"x"));
        if (c.stamp)
            storage_->UpdateFolderCacheVesion(c.id);
        if (c.after)
            storage_->SetCurCacheVesion(c.after);
        EXPECT_EQ(storage_->FolderNeedUpdate(c.id), c.want);
    }
}

TEST_F(Cache, ServiceTextsWithQuotesAndWildcardsRoundTrip) {
    RemoteItem item = File(L"id'1", L"p'a%r_ent", L"O'Brien 100%_done.txt");
    item.localPath = L"/home/o'b/O'Brien.txt";
    item.size = 5368709120LL;  // 5 GiB
    item.sha1 = L"DA39A3EE5E6B4B0D3255BFEF95601890AFD8'709";
    item.modTime = L"2024'01";
    item.sharers = {{L"O'Neil|x", L"u'1", L"o'n@x", kSharerRead | kSharerWrite}};
    ASSERT_EQ(storage_->AddOrUpdateFileItem(item), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"other", L"p'a%r_ent", L"O'Brien 100x-done.txt")), S_OK);
    ASSERT_EQ(storage_->UpdateFileVersion(L"id'1", 6442450944LL, 9, item.sha1), S_OK);

    // Ids and parents match ignoring case.
    RemoteItem back;
    ASSERT_EQ(storage_->GetItemInfo(L"ID'1", &back), S_OK);
    RemoteItem expected = item;
    expected.size = 6442450944LL;
    expected.fileVer = 9;
    EXPECT_EQ(Fields(back), Fields(expected));
    std::vector<SharerInfo> rights;
    ASSERT_EQ(storage_->GetItemShareRight(L"id'1", &rights), S_OK);
    EXPECT_EQ(FormatSharerList(rights), FormatSharerList(item.sharers));

    // "%" and "_" in the search text match only themselves.
    std::vector<RemoteItem> found;
    ASSERT_EQ(storage_->LocalFullTextSearch(L"n 100%_d", &found), S_OK);
    EXPECT_EQ(Ids(found), std::vector<std::wstring>{L"id'1"});
    EXPECT_EQ(storage_->LocalFullTextSearch(L"o'brien", &(found = {})), S_OK);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"P'A%R_ENT", &(found = {})), S_OK);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"p'a_r%ent", &(found = {})), S_OK);
    EXPECT_TRUE(found.empty());
}

TEST_F(Cache, AnInvalidRowEndsTheReadKeepingTheRowsBefore) {
    struct Case {
        const char* what;
        const wchar_t* row;  // isdir, sha1, local_ctime, local_mtime, svrid
        HRESULT want;
    };
    const std::vector<Case> cases = {
        {"file without sha1", L"0, '', 'c', 'm', 'x'", E_FAIL},
        {"file without creation time", L"0, 's', '', 'm', 'x'", E_FAIL},
        {"file without change time", L"0, 's', 'c', '', 'x'", E_FAIL},
        {"row without id", L"1, '', '', '', ''", E_FAIL},
        {"folder without sha1 and times", L"1, '', '', '', 'x'", S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(storage_->ClearLastSnapshot(), S_OK);
        ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"first", L"p", L"a")), S_OK);
        Exec((L"INSERT INTO files (isdir, sha1, local_ctime, local_mtime, svrid, svrparentid, localname) "
              L"VALUES (" +
              std::wstring(c.row) + L", 'p', 'b')")
                 .c_str());
        std::vector<RemoteItem> items;
        EXPECT_EQ(storage_->GetLastSyncSnapshot(L"p", &items), c.want);
        EXPECT_EQ(items.size(), c.want == S_OK ? 2u : 1u);
        if (!items.empty()) {
            EXPECT_EQ(items[0].fileId, L"first");
        }
    }
}

TEST_F(Cache, ShareRightsComeFromTheNearestSharedAncestor) {
    const std::vector<SharerInfo> team = {{L"Li", L"u1", L"li@x", kSharerRead}};
    RemoteItem shared = Folder(L"top", L"", L"Team");
    shared.sharers = team;
    ASSERT_EQ(storage_->AddOrUpdateFileItem(shared), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(Folder(L"mid", L"top", L"Docs")), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"leaf", L"mid", L"a.txt")), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"orphan", L"gone", L"b.txt")), S_OK);
    // A damaged table whose parents loop.
    ASSERT_EQ(storage_->AddOrUpdateFileItem(Folder(L"loopA", L"loopB", L"A")), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(Folder(L"loopB", L"loopA", L"B")), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"inloop", L"loopA", L"c.txt")), S_OK);

    const std::vector<std::pair<std::wstring, HRESULT>> cases = {{L"leaf", S_OK},     {L"mid", S_OK},
                                                                 {L"top", S_OK},      {L"orphan", E_FAIL},
                                                                 {L"inloop", E_FAIL}, {L"none", E_FAIL}};
    for (const auto& [id, want] : cases) {
        SCOPED_TRACE(WideToUtf8(id));
        std::vector<SharerInfo> rights;
        EXPECT_EQ(storage_->GetItemShareRight(id, &rights), want);
        EXPECT_EQ(FormatSharerList(rights), want == S_OK ? FormatSharerList(team) : L"");
    }
}

TEST_F(Cache, ReListingDeletesOnlyTheChildrenNotSeenAgain) {
    ASSERT_EQ(storage_->SetCurCacheVesion(1), S_OK);
    List(L"p", {File(L"a", L"p", L"a"), File(L"b", L"p", L"b"), Folder(L"c", L"p", L"c")});
    List(L"q", {File(L"x", L"q", L"x")});
    ASSERT_EQ(storage_->SetCurCacheVesion(2), S_OK);
    List(L"p", {File(L"a", L"p", L"a2"), Folder(L"c", L"p", L"c")});
    std::vector<RemoteItem> items;
    ASSERT_EQ(storage_->GetLastSyncSnapshot(L"p", &items), S_OK);
    EXPECT_EQ(Ids(items), (std::vector<std::wstring>{L"a", L"c"}));
    ASSERT_EQ(storage_->SetCurCacheVesion(3), S_OK);
    List(L"p", {});
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"p", &(items = {})), S_OK);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"q", &items), S_OK);
    EXPECT_EQ(items.size(), 1u);

    // A push during the listing: rows written after it carry the new version.
    ASSERT_EQ(storage_->Lock(), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"r1", L"r", L"r1")), S_OK);
    ASSERT_EQ(storage_->SetCurCacheVesion(4), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"r2", L"r", L"r2")), S_OK);
    ASSERT_EQ(storage_->DeleteStaleChildren(L"r"), S_OK);
    ASSERT_EQ(storage_->Unlock(), S_OK);
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"r", &(items = {})), S_OK);
    EXPECT_EQ(Ids(items), std::vector<std::wstring>{L"r2"});
}

class CacheMigration : public LocalStorageTest {};

TEST_F(CacheMigration, AnOldTableGetsTheSharersColumnAndKeepsItsRows) {
    ASSERT_EQ(db_->execDML(
                  L"CREATE TABLE files (id INTEGER PRIMARY KEY, isdir TINYINT, size INT, version INT, "
                  L"fileversion INT, sha1 VARCHAR(42), svrparentid VARCHAR(260) COLLATE NOCASE, "
                  L"svrid VARCHAR(260) COLLATE NOCASE, svr_mtime DATETIME, svr_ctime DATETIME, "
                  L"localpath VARCHAR(260) COLLATE NOCASE, localname VARCHAR(260) COLLATE NOCASE, "
                  L"local_mtime DATETIME, local_ctime DATETIME, cacheversion INT, itemversion INT);"
                  L"INSERT INTO files (isdir, svrid, svrparentid, localname) VALUES (1, 'old', '', 'Old');"),
              S_OK);
    Open();
    EXPECT_TRUE(db_->HasColumn(L"files", L"sharers"));
    std::vector<RemoteItem> items;
    ASSERT_EQ(storage_->GetLastSyncSnapshot(L"", &items), S_OK);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, L"Old");
    EXPECT_TRUE(items[0].sharers.empty());
    std::vector<SharerInfo> rights;
    EXPECT_EQ(storage_->GetItemShareRight(L"old", &rights), E_FAIL);  // empty text: up to the missing parent
    // A second start changes nothing.
    storage_.Release();
    Open();
    EXPECT_EQ(storage_->GetLastSyncSnapshot(L"", &(items = {})), S_OK);
    EXPECT_EQ(items.size(), 1u);
}

class CacheTransaction : public LocalStorageTest {
protected:
    void SetUp() override {
        LocalStorageTest::SetUp();
        Open();
        // Busy waits end at once, so a held lock fails the statement quickly.
        db_->setBusyTimeout(1);
        db_->setBusyRetryLimits(1, 1);
    }
    bool InTransaction() {
        // BEGIN inside an open transaction fails.
        if (FAILED(db_->execDML(L"BEGIN TRANSACTION;")))
            return true;
        db_->execDML(L"ROLLBACK TRANSACTION;");
        return false;
    }
};

TEST_F(CacheTransaction, AFailedCommitRollsBackAndReportsTheFailure) {
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath_.c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM files;", nullptr, nullptr, nullptr),
              SQLITE_OK);

    ASSERT_EQ(storage_->Lock(), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"a", L"p", L"a")), S_OK);
    EXPECT_TRUE(FAILED(storage_->Unlock()));  // the reader's lock keeps COMMIT out
    EXPECT_FALSE(InTransaction());
    sqlite3_exec(reader, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(reader);

    RemoteItem item;
    EXPECT_EQ(storage_->GetItemInfo(L"a", &item), E_FAIL);
    // The store works on: a new transaction commits.
    ASSERT_EQ(storage_->Lock(), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"b", L"p", L"b")), S_OK);
    EXPECT_EQ(storage_->Unlock(), S_OK);
    EXPECT_EQ(storage_->GetItemInfo(L"b", &item), S_OK);
}

TEST_F(CacheTransaction, AFailedBeginReleasesTheTransactionAndNestedLocksCount) {
    ASSERT_EQ(db_->execDML(L"BEGIN TRANSACTION;"), S_OK);  // someone else's, on the shared connection
    EXPECT_TRUE(FAILED(storage_->Lock()));
    EXPECT_TRUE(FAILED(storage_->Unlock()));  // nothing to commit
    ASSERT_EQ(db_->execDML(L"ROLLBACK TRANSACTION;"), S_OK);

    // Another thread can take the transaction: the failed Lock kept nothing.
    std::atomic<bool> other{false};
    std::thread([&] { other = storage_->Lock() == S_OK && storage_->Unlock() == S_OK; }).join();
    EXPECT_TRUE(other);

    ASSERT_EQ(storage_->Lock(), S_OK);
    ASSERT_EQ(storage_->Lock(), S_OK);
    ASSERT_EQ(storage_->AddOrUpdateFileItem(File(L"a", L"p", L"a")), S_OK);
    EXPECT_EQ(storage_->Unlock(), S_OK);
    EXPECT_TRUE(InTransaction());
    EXPECT_EQ(storage_->Unlock(), S_OK);
    EXPECT_FALSE(InTransaction());
    RemoteItem item;
    EXPECT_EQ(storage_->GetItemInfo(L"a", &item), S_OK);
}

TEST_F(Cache, ABatchWriteLeavesTheRowsTheSingleWritesLeave) {
    RemoteItem shared = File(L"s1", L"p", L"shared");
    shared.sharers.push_back({L"Ann", L"u1", L"a@x", kSharerRead});
    RemoteItem renamed = File(L"A1", L"p", L"O'Neil's 报告.doc");
    renamed.size = 5000000000LL;
    // Rows standing before the listing: a folder with its cache stamp, a file
    // in another folder, two damaged rows sharing one id, and a folder row
    // under the id a file of the listing has.
    const wchar_t* const kSeed[] = {
        L"INSERT INTO files (id, isdir, svrid, svrparentid, localname, cacheversion, itemversion) "
        L"VALUES (3, 1, 'f1', 'p', 'old folder', 7, 1)",
        L"INSERT INTO files (id, isdir, svrid, svrparentid, localname, sha1, itemversion) "
        L"VALUES (5, 0, 'moved', 'elsewhere', 'm', 'x', 1)",
        L"INSERT INTO files (id, isdir, svrid, svrparentid, localname, itemversion) "
        L"VALUES (8, 0, 'dup', 'p', 'd1', 1), (9, 0, 'DUP', 'p', 'd2', 1)",
        L"INSERT INTO files (id, isdir, svrid, svrparentid, localname, itemversion) "
        L"VALUES (12, 1, 'a1', 'p', 'same id, a folder', 1)",
        // As the listing below writes it, and the same but for the case of
        // the id or a NULL local path.
        L"INSERT INTO files (id, size, fileversion, sha1, svrparentid, svrid, localpath, localname, isdir, "
        L"local_ctime, local_mtime, sharers, itemversion, cacheversion) VALUES "
        L"(20, 10, 1, 'da39a3ee5e6b4b0d3255bfef95601890afd80709', 'p', 'same', '', 'same', 0, "
        L"'2024-01-02 03:04:05', '2024-01-02 03:04:06', '', 1, 4), "
        L"(21, 10, 1, 'da39a3ee5e6b4b0d3255bfef95601890afd80709', 'p', 'CASE', '', 'case', 0, "
        L"'2024-01-02 03:04:05', '2024-01-02 03:04:06', '', 1, 4), "
        L"(22, 10, 1, 'da39a3ee5e6b4b0d3255bfef95601890afd80709', 'p', 'nul', NULL, 'nul', 0, "
        L"'2024-01-02 03:04:05', '2024-01-02 03:04:06', '', 1, 4)",
    };
    struct Case {
        const char* what;
        std::vector<RemoteItem> items;
        size_t rows;
        // The listing is written once under an older stamp first.
        bool again = false;
    };
    std::vector<RemoteItem> many;
    for (int i = 0; i < 1203; ++i)
        many.push_back(File(L"n" + std::to_wstring(i), L"p", L"n"));
    const std::vector<Case> cases = {
        {"an empty listing", {}, 8},
        {"updates and inserts over standing rows",
         {Folder(L"F1", L"p", L"folder"), File(L"moved", L"p", L"back"), File(L"dup", L"p", L"d"), renamed,
          shared, File(L"new", L"p", L"new")},
         11},
        {"rows standing as listed, or but for the case of the id or a NULL",
         {File(L"same", L"p", L"same"), File(L"case", L"p", L"case"), File(L"nul", L"p", L"nul")},
         8},
        {"one id twice: the later item wins in the first one's row",
         {File(L"x", L"p", L"first"), File(L"y", L"p", L"y"), File(L"X", L"p", L"second")},
         10},
        {"more items than one statement takes, over standing rows", many, 1211},
        {"the same listing again", many, 1211, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::vector<std::wstring>> dumps;
        for (bool batch : {false, true}) {
            ASSERT_EQ(storage_->ClearLastSnapshot(), S_OK);
            for (const wchar_t* sql : kSeed)
                Exec(sql);
            for (int version = c.again ? 8 : 9; version <= 9; ++version) {
                ASSERT_EQ(storage_->SetCurCacheVesion(version), S_OK);
                ASSERT_EQ(storage_->Lock(), S_OK);
                if (batch) {
                    ASSERT_EQ(storage_->AddOrUpdateFileItems(c.items), S_OK);
                } else {
                    for (const RemoteItem& item : c.items)
                        ASSERT_EQ(storage_->AddOrUpdateFileItem(item), S_OK);
                }
                ASSERT_EQ(storage_->Unlock(), S_OK);
            }
            dumps.push_back(DumpFiles(db_));
        }
        EXPECT_EQ(dumps[0], dumps[1]);
        EXPECT_EQ(dumps[1].size(), c.rows);
    }
}

}  // namespace
