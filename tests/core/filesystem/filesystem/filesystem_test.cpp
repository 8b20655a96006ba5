// Listing through the cache and the item commands against the service emulator.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "facadetestbase.h"

namespace pellux_test {
namespace {

TEST_F(FacadeTest, TheCacheStandsInOnlyForAServiceThatCannotBeReached) {
    struct Case {
        const char* fault;  // for the emulator; none: the service cannot be reached
        HRESULT expected;
    };
    const std::vector<Case> cases = {
        {nullptr, S_OK},
        {"path=/xsvr/dir/&result=clientTokenExpired&count=1", E_RESULT_CLIENT_TOKEN_EXPIRED},
        {"path=/xsvr/dir/&result=permissionDenied&count=1", E_RESULT_PERMISSION_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "unreachable");
        GoOnline();
        std::vector<RemoteItem> listed;
        ASSERT_EQ(facade->Dir(L"", &listed, true), S_OK);
        // A change elsewhere makes the cached listing stale.
        cache->SetCurCacheVesion(cache->GetCurCacheVesion(0) + 1);
        if (c.fault) {
            ASSERT_TRUE(m_emulator.AddFault(c.fault));
        } else {
            GoOffline();
        }
        std::vector<RemoteItem> out;
        EXPECT_EQ(facade->Dir(L"", &out, false), c.expected);
        EXPECT_EQ(Names(out), c.fault ? std::vector<std::wstring>() : Names(listed));
    }
}

TEST_F(FacadeTest, AListingIsCachedUnderTheAskedIdWithoutIdlessItemsAndAForcedOneAsksAgain) {
    remote->editDirReply = [](XmlNode& reply) {
        // The root's children as a service that names its root.
        for (XmlNode& child : reply.children)
            child.values.insert(child.values.begin(), {L"parentId", L"service-root"});
        XmlNode& ghost = reply.AddChild(L"item");
        ghost.AddValue(L"name", L"ghost");
        ghost.AddValue(L"type", L"folder");
    };
    std::vector<RemoteItem> listed;
    ASSERT_EQ(facade->Dir(L"", &listed, false), S_OK);
    ASSERT_FALSE(listed.empty());
    for (const RemoteItem& item : listed)
        EXPECT_NE(item.name, L"ghost");
    EXPECT_EQ(Names(Cached(L"")), Names(listed));
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced);
        m_emulator.ClearLog();
        std::vector<RemoteItem> again;
        ASSERT_EQ(facade->Dir(L"", &again, forced), S_OK);
        EXPECT_EQ(Requests("/xsvr/dir/"), forced ? 1u : 0u);
        EXPECT_EQ(Names(again), Names(listed));
    }
    // A file row without SHA-1 ends every read of the folder: the service
    // listing is asked for once, not twice.
    RemoteItem damaged;
    damaged.name = L"no checksum";
    damaged.fileId = L"damaged-1";
    damaged.createdTime = damaged.modTime = L"2024-01-01 00:00:00";
    ASSERT_EQ(cache->AddOrUpdateFileItem(damaged), S_OK);
    m_emulator.ClearLog();
    std::vector<RemoteItem> out;
    ASSERT_EQ(facade->Dir(L"", &out, false), S_OK);
    EXPECT_EQ(Requests("/xsvr/dir/"), 1u);
    EXPECT_EQ(Names(out), Names(listed));
}

TEST_F(FacadeTest, SpaceIsAskedOnceUnlessForcedAndKeptWhenARefreshFails) {
    int64_t used = -1;
    int64_t total = -1;
    ASSERT_EQ(facade->GetSpaceInfo(&used, &total, false), S_OK);
    ASSERT_EQ(facade->GetSpaceInfo(&used, &total, false), S_OK);
    EXPECT_EQ(Requests("/xsvr/getSpace/"), 1u);
    EXPECT_GT(total, 0);
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=serverBusy&count=1"));
    int64_t usedAfter = -1;
    EXPECT_EQ(facade->GetSpaceInfo(&usedAfter, nullptr, true), E_RESULT_SERVER_BUSY);
    EXPECT_EQ(usedAfter, -1);
    ASSERT_EQ(facade->GetSpaceInfo(&usedAfter, nullptr, false), S_OK);
    EXPECT_EQ(usedAfter, used);
    EXPECT_EQ(Requests("/xsvr/getSpace/"), 2u);
}

TEST_F(FacadeTest, AListingTheCacheCouldNotCommitIsReturnedButAskedForAgain) {
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open((scratch + "/norle.db").c_str(), &reader), SQLITE_OK);
    // Another connection's read keeps the listing's COMMIT out.
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM files;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    GetDatabase()->setBusyTimeout(1);
    GetDatabase()->setBusyRetryLimits(1, 1);
    std::vector<RemoteItem> listed;
    EXPECT_EQ(facade->Dir(L"", &listed, true), S_OK);
    EXPECT_FALSE(listed.empty());
    sqlite3_exec(reader, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
    GetDatabase()->setBusyTimeout(60000);
    GetDatabase()->setBusyRetryLimits(CDB::kDefaultBusyHandlerCalls, CDB::kDefaultBusyRetries);

    m_emulator.ClearLog();
    std::vector<RemoteItem> again;
    EXPECT_EQ(facade->Dir(L"", &again, false), S_OK);
    EXPECT_EQ(Requests("/xsvr/dir/"), 1u);
    EXPECT_EQ(Names(again), Names(listed));
}

TEST_F(FacadeTest, NewFolderOrMoveOntoATakenNameReportsTheConflict) {
    std::wstring target;
    ASSERT_EQ(facade->NewFolder(L"", L"\\Target", &target), S_OK);
    ASSERT_FALSE(target.empty());
    std::wstring again;
    EXPECT_EQ(facade->NewFolder(L"", L"\\Target", &again), E_RESULT_TARGET_EXIST);
    EXPECT_EQ(again, target);
    EXPECT_EQ(facade->NewFolder(L"", L"\\Untaken", nullptr), S_OK);  // the id is optional
    // A move asks once.
    for (bool isFolder : {true, false}) {
        SCOPED_TRACE(isFolder);
        const std::string create = isFolder ? "/xsvr/newFolder/" : "/xsvr/newFile/";
        const std::string name = isFolder ? "Twin folder" : "Twin file.txt";
        const std::string moving = Call(create, {{"parentId", ""}, {"name", name}}, "fileId");
        ASSERT_FALSE(Call(create, {{"parentId", WideToUtf8(target)}, {"name", name}}, "fileId").empty());
        const size_t asked = Asked().size();
        EXPECT_EQ(facade->Move(isFolder, Utf8ToWide(moving), target), E_RESULT_TARGET_EXIST);
        ASSERT_EQ(Asked().size(), asked + 1);
        EXPECT_EQ(Asked().back(), isFolder ? L"Wizard_MoveFolderExist" : L"Wizard_MoveFileExist");
        EXPECT_EQ(bridge->Calls().back().texts[2], L"Orvane便携版");
    }
}

}  // namespace
}  // namespace pellux_test
