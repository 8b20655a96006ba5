// The shared-with-me view and the search merge against the service emulator
// (whose seed has "friend" sharing two items with "demo").
#include <gtest/gtest.h>

#include <set>

#include "facadetestbase.h"

namespace pellux_test {
namespace {

const std::wstring kFriendEmail = L"friend@pellux.test";

TEST_F(FacadeTest, SharedWithMeRootIsOneFolderPerPersonKeptUntilTheShareVersionRises) {
    std::vector<RemoteItem> own;
    ASSERT_EQ(facade->Dir(L"", &own, false), S_OK);
    // A push after the listing: the user's own root rows are older than the
    // current version now, and must still survive the shared view.
    cache->SetCurCacheVesion(cache->GetCurCacheVesion(0) + 1);
    const size_t ownRows = Cached(L"").size();

    std::vector<RemoteItem> root;
    ASSERT_EQ(facade->DirShareToMe(L"", L"\\", &root, false), S_OK);
    ASSERT_EQ(Names(root), std::vector<std::wstring>{L"Friend(friend@pellux.test)"});
    EXPECT_EQ(root[0].isFolder, kSharerFolder);
    EXPECT_EQ(root[0].fileId, kFriendEmail);
    EXPECT_EQ(Cached(L"").size(), ownRows);

    const std::string path = "/xsvr/asmGetAllSharedFiles/";
    std::vector<RemoteItem> again;
    ASSERT_EQ(facade->DirShareToMe(L"", L"\\", &again, false), S_OK);
    EXPECT_EQ(Requests(path), 1u);
    cache->SetCurShareCacheVesion(cache->GetCurShareCacheVesion(0) + 1);
    ASSERT_EQ(facade->DirShareToMe(L"", L"\\", &again, false), S_OK);
    EXPECT_EQ(Requests(path), 2u);

    std::vector<RemoteItem> person;
    ASSERT_EQ(facade->DirShareToMe(kFriendEmail, L"\\Friend", &person, false), S_OK);
    EXPECT_EQ(Names(person), (std::vector<std::wstring>{L"Team share", L"budget.txt"}));
    EXPECT_EQ(Names(Cached(kFriendEmail)), Names(person));
}

TEST_F(FacadeTest, SearchTellsItemsApartByIdSoSameNamedOnesAllAppearOnce) {
    // The user's own "budget.txt" beside the one a friend shares; both cached.
    const std::wstring own =
        Utf8ToWide(Call("/xsvr/newFile/", {{"parentId", ""}, {"name", "budget.txt"}}, "fileId"));
    std::vector<RemoteItem> listing;
    ASSERT_EQ(facade->Dir(L"", &listing, true), S_OK);
    ASSERT_EQ(facade->DirShareToMe(kFriendEmail, L"\\Friend", &listing, false), S_OK);
    std::wstring shared;
    for (const RemoteItem& item : listing)
        shared = item.name == L"budget.txt" && item.fileId != own ? item.fileId : shared;
    ASSERT_FALSE(shared.empty());
    for (bool offline : {false, true}) {
        SCOPED_TRACE(offline ? "offline" : "online");
        if (offline)
            GoOffline();
        std::vector<RemoteItem> found;
        EXPECT_EQ(facade->FullTextSearch(L"budget", 0, &found), S_OK);
        std::multiset<std::wstring> ids;
        for (const RemoteItem& item : found)
            ids.insert(item.fileId);
        EXPECT_EQ(ids, (std::multiset<std::wstring>{own, shared}));
    }
}

}  // namespace
}  // namespace pellux_test
