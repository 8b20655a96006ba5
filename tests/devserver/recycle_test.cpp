// The recycle bin: paging by opVer, recover and cleanRecycle.
#include <set>

#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, RecyclePagingVisitsEveryItemOnceOverMoreThan128) {
    std::string token = Login("demo", "demo");
    const int kCount = 140;
    std::string holder = NewFolder(token, "", "Bulk");
    for (int i = 0; i < kCount; ++i) {
        std::string id = NewFile(token, holder, "item" + std::to_string(i) + ".txt");
        ASSERT_EQ(Op(token, "/xsvr/delete/", {{"fileId", id}}).result(), "ok");
    }
    // The explorer's walk: first cursor is getMaxVers + 1, then the last item's opVer.
    std::set<std::string> seen;
    std::string cursor = std::to_string(OpVer(token) + 1);
    int pages = 0;
    int64_t previous = INT64_MAX;
    for (;;) {
        Reply page = Op(token, "/xsvr/getRecycle/", {{"opVer", cursor}, {"size", "128"}});
        ASSERT_EQ(page.result(), "ok");
        ++pages;
        for (const auto& item : page.items) {
            int64_t opVer = std::stoll(item["opVer"]);
            EXPECT_LT(opVer, previous);  // strictly descending, so no item shares a page boundary
            previous = opVer;
            EXPECT_TRUE(seen.insert(item["fileId"]).second);
        }
        if (page.items.size() < 128) {
            break;
        }
        cursor = page.items.back()["opVer"];
    }
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(seen.size(), static_cast<size_t>(kCount + 3));  // the demo account's 3 recycled items too
}

TEST_F(EmulatorTest, RecoverBringsTheTreeBackAndRefusesClashes) {
    std::string token = Login("demo", "demo");
    std::string top = NewFolder(token, "", "Back");
    std::string leaf = NewFile(token, top, "leaf.txt");
    ASSERT_EQ(Op(token, "/xsvr/delete/", {{"fileId", top}}).result(), "ok");
    Reply bin =
        Op(token, "/xsvr/getRecycle/", {{"opVer", std::to_string(OpVer(token) + 1)}, {"size", "128"}});
    EXPECT_TRUE(bin.HasNamed("Back"));
    EXPECT_FALSE(bin.HasNamed("leaf.txt"));  // only the top of a deleted tree is listed
    std::string clash = NewFolder(token, "", "Back");
    EXPECT_EQ(Op(token, "/xsvr/recover/", {{"fileId", top}, {"parentId", ""}}).result(), "targetExist");
    EXPECT_EQ(Op(token, "/xsvr/recover/", {{"fileId", top}, {"parentId", "f999999"}}).result(),
              "parentNotExist");
    ASSERT_EQ(Op(token, "/xsvr/recover/", {{"fileId", top}, {"parentId", clash}}).result(), "ok");
    Reply inside = Op(token, "/xsvr/dir/", {{"fileId", top}});
    EXPECT_EQ(inside.Named("leaf.txt")["fileId"], leaf);
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", clash}}).Named("Back")["fileId"], top);
    EXPECT_EQ(Op(token, "/xsvr/recover/", {{"fileId", top}, {"parentId", ""}}).result(), "targetNotExist");
}

TEST_F(EmulatorTest, CleanRecycleRemovesForGoodAndEmptyIdEmptiesTheBin) {
    std::string token = Login("demo", "demo");
    std::string a = NewFile(token, "", "gone.txt");
    ASSERT_EQ(Upload(token, a, 0, "data", "blob").result(), "ok");
    std::string used = Op(token, "/xsvr/getSpace/", {}).Get("used");
    Op(token, "/xsvr/delete/", {{"fileId", a}});
    EXPECT_EQ(Op(token, "/xsvr/getSpace/", {}).Get("used"), used);  // the bin still counts
    EXPECT_EQ(Op(token, "/xsvr/cleanRecycle/", {{"fileId", "f999999"}}).result(), "targetNotExist");
    // A live item is not in the bin.
    std::string live = NewFile(token, "", "alive.txt");
    EXPECT_EQ(Op(token, "/xsvr/cleanRecycle/", {{"fileId", live}}).result(), "targetNotExist");
    ASSERT_EQ(Op(token, "/xsvr/cleanRecycle/", {{"fileId", a}}).result(), "ok");
    EXPECT_EQ(std::stoll(Op(token, "/xsvr/getSpace/", {}).Get("used")), std::stoll(used) - 4);
    EXPECT_EQ(Op(token, "/xsvr/recover/", {{"fileId", a}, {"parentId", ""}}).result(), "targetNotExist");
    ASSERT_EQ(Op(token, "/xsvr/cleanRecycle/", {{"fileId", ""}}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/getRecycle/", {{"opVer", "2147483647"}, {"size", "128"}}).items.size(), 0u);
}

TEST_F(EmulatorTest, CleaningARecycledFolderKeepsAChildThatWasDeletedOnItsOwn) {
    std::string token = Login("demo", "demo");
    std::string folder = NewFolder(token, "", "Outer");
    std::string early = NewFile(token, folder, "early.txt");
    NewFile(token, folder, "late.txt");
    ASSERT_EQ(Op(token, "/xsvr/delete/", {{"fileId", early}}).result(), "ok");
    ASSERT_EQ(Op(token, "/xsvr/delete/", {{"fileId", folder}}).result(), "ok");
    ASSERT_EQ(Op(token, "/xsvr/cleanRecycle/", {{"fileId", folder}}).result(), "ok");
    Reply bin = Op(token, "/xsvr/getRecycle/", {{"opVer", "2147483647"}, {"size", "128"}});
    EXPECT_FALSE(bin.HasNamed("Outer"));
    EXPECT_FALSE(bin.HasNamed("late.txt"));
    ASSERT_TRUE(bin.HasNamed("early.txt")) << bin.body;
    EXPECT_EQ(Op(token, "/xsvr/recover/", {{"fileId", early}, {"parentId", ""}}).result(), "ok");
    EXPECT_TRUE(Op(token, "/xsvr/dir/", {{"fileId", ""}}).HasNamed("early.txt"));
}

TEST_F(EmulatorTest, SnapshotsAndPermanentDelete) {
    std::string token = Login("demo", "demo");
    int64_t since = OpVer(token);
    std::string a = NewFolder(token, "", "Snap");
    Reply changed = Op(token, "/xsvr/syncFile/", {{"opVer", std::to_string(since)}, {"size", "50"}});
    ASSERT_EQ(changed.items.size(), 1u);
    EXPECT_EQ(changed.items[0]["fileId"], a);
    Op(token, "/xsvr/delete/", {{"fileId", a}});
    Reply deleted = Op(token, "/xsvr/syncDelFile/", {{"opVer", std::to_string(since)}, {"size", "50"}});
    ASSERT_EQ(deleted.items.size(), 1u);
    EXPECT_EQ(deleted.items[0]["type"], "deleted");
    std::string b = NewFolder(token, "", "Vanish");
    ASSERT_EQ(Op(token, "/xsvr/deleteEx/", {{"fileId", b}}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", b}}).result(), "targetNotExist");
    EXPECT_FALSE(
        Op(token, "/xsvr/getRecycle/", {{"opVer", "2147483647"}, {"size", "128"}}).HasNamed("Vanish"));
}

}  // namespace devserver_test
