#pragma once
// The real local storage on a fresh per-user database and local root below a
// temporary folder, as the sync center sets them up after log-in. One per
// process at a time: the database connection is process-wide.
#include <gtest/gtest.h>

#include <string>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "platform/strings.h"

namespace pellux_test {

inline CComPtr<ILocalStorage> OpenTestUserCache(const std::string& folder) {
    CComPtr<ILocalStorage> storage;
    CDB* db = GetDatabase();
    db->SetRetryPauseMs(1);
    EXPECT_EQ(db->Init(Utf8ToWide(folder + "/norle.db")), S_OK);
    EXPECT_EQ(GetDbConfigStore()->Open(db, L"config"), S_OK);
    EXPECT_EQ(CreateLocalStorage(&storage), S_OK);
    if (storage) {
        EXPECT_EQ(storage->Init(Utf8ToWide(folder), Utf8ToWide(folder + "/root")), S_OK);
    }
    return storage;
}

// After the last reference to the storage is gone.
inline void CloseTestUserCache() {
    CloseUserDatabase();
}

}  // namespace pellux_test
