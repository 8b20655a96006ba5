#pragma once
// A local store on a real database file and a real local root in a fresh
// temporary folder, as the sync center sets them up after log-in.
#include <gtest/gtest.h>

#include <string>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

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
