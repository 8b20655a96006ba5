#pragma once
// A local store on a real database file and a real local root in a fresh
// temporary folder, as the sync center sets them up after log-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/localstorage/localstorage/sharerlist.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

// Bytes that do not pack, the same for the same seed.
inline std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

// The sorted names in a folder; none for a folder that is not there.
inline std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(folder, error))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every field of an item in declaration order, "|" between.
inline std::wstring Fields(const RemoteItem& r) {
    return std::to_wstring(r.isFolder) + L"|" + r.sha1 + L"|" + std::to_wstring(r.size) + L"|" +
           std::to_wstring(r.opVer) + L"|" + std::to_wstring(r.fileVer) + L"|" + r.localPath + L"|" + r.name +
           L"|" + r.parentId + L"|" + r.fileId + L"|" + r.createdTime + L"|" + r.modTime + L"|" + r.modifier +
           L"|" + std::to_wstring(r.shared) + L"|" + FormatSharerList(r.sharers);
}

class LocalStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = pellux_test::MakeTempDir("ls");
        dbPath_ = dir_ + "/norle.db";
        root_ = dir_ + "/root";
        db_ = GetDatabase();
        db_->SetRetryPauseMs(1);
        ASSERT_EQ(db_->Init(Utf8ToWide(dbPath_)), S_OK);
        ASSERT_EQ(GetDbConfigStore()->Open(db_, L"config"), S_OK);
    }
    void TearDown() override {
        storage_.Release();
        CloseUserDatabase();
    }
    // Makes the store and runs Init; tests that prepare the database first
    // call it after that.
    void Open() {
        ASSERT_EQ(CreateLocalStorage(&storage_), S_OK);
        ASSERT_EQ(storage_->Init(Utf8ToWide(dir_), Utf8ToWide(root_)), S_OK);
    }

    std::string dir_;
    std::string dbPath_;
    std::string root_;
    CDB* db_ = nullptr;
    CComPtr<ILocalStorage> storage_;
};
