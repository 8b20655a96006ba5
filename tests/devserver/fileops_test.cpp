// The folder tree: listing, creating, renaming, moving, deleting, item info,
// modification times and name search, with their error results.
#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, DemoRootListsFoldersAndFilesWithEveryItemField) {
    std::string token = Login("demo", "demo");
    Reply r = Op(token, "/xsvr/dir/", {{"fileId", ""}});
    ASSERT_EQ(r.result(), "ok");
    ReplyItem docs = r.Named("Documents");
    EXPECT_EQ(docs["type"], "folder");
    EXPECT_EQ(docs["parentId"], "");
    ReplyItem welcome = r.Named("welcome.txt");
    EXPECT_EQ(welcome["type"], "file");
    EXPECT_EQ(welcome["sha1"], Sha1Of("Hello from the demo account.\n"));
    EXPECT_EQ(welcome["size"], "29");
    EXPECT_EQ(welcome["fileVer"], "1");
    EXPECT_EQ(welcome["modTime"], "2024-03-07 11:30:00");
    EXPECT_EQ(welcome["modifier"], "Demo");
    EXPECT_EQ(welcome["shared"], "0");
    for (const auto& item : r.items) {
        for (const char* key : {"type", "fileId", "parentId", "name", "size", "sha1", "fileVer", "opVer",
                                "createdTime", "modTime", "modifier", "shared"}) {
            EXPECT_TRUE(item.values.count(key)) << key << " missing in " << r.body;
        }
        EXPECT_EQ(item["fileId"].find_first_of("@'\\/&?= "), std::string::npos);
    }
    // Recycled items are not listed; the friend's items are not in demo's tree.
    EXPECT_FALSE(r.HasNamed("old-draft.txt"));
    EXPECT_FALSE(r.HasNamed("Team share"));
    Reply docsList = Op(token, "/xsvr/dir/", {{"fileId", docs["fileId"]}});
    EXPECT_EQ(docsList.Named("说明.txt")["parentId"], docs["fileId"]);
    EXPECT_FALSE(docsList.HasNamed("todo.txt"));
}

TEST_F(EmulatorTest, DirOfAMissingItemOrAFileIsRefused) {
    std::string token = Login("demo", "demo");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", "f999999"}}).result(), "targetNotExist");
    std::string file = NewFile(token, "", "plain.txt");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", file}}).result(), "clientBadParams");
    // Another user's unshared folder is not visible.
    std::string friendToken = Login("friend", "friend");
    std::string hidden = Op(friendToken, "/xsvr/dir/", {{"fileId", ""}}).Named("Private")["fileId"];
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", hidden}}).result(), "permissionDenied");
}

TEST_F(EmulatorTest, NewFolderAndNewFileAnswerTheExistingItemOnTargetExist) {
    std::string token = Login("demo", "demo");
    Reply made = Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", "Work"}});
    ASSERT_EQ(made.result(), "ok");
    Reply again = Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", "work"}});
    EXPECT_EQ(again.result(), "targetExist");
    EXPECT_EQ(again.Get("fileId"), made.Get("fileId"));

    Reply file = Op(token, "/xsvr/newFile/", {{"parentId", made.Get("fileId")}, {"name", "a & b <c>.txt"}});
    ASSERT_EQ(file.result(), "ok");
    EXPECT_EQ(file.Get("fileVer"), "0");
    EXPECT_EQ(file.Get("sha1").size(), 40u);
    ASSERT_EQ(Upload(token, file.Get("fileId"), 0, "content", "encoded").result(), "ok");
    Reply existing =
        Op(token, "/xsvr/newFile/", {{"parentId", made.Get("fileId")}, {"name", "a & b <c>.txt"}});
    EXPECT_EQ(existing.result(), "targetExist");
    EXPECT_EQ(existing.Get("fileId"), file.Get("fileId"));
    EXPECT_EQ(existing.Get("fileVer"), "1");
    EXPECT_EQ(existing.Get("sha1"), Sha1Of("content"));
    EXPECT_TRUE(Op(token, "/xsvr/dir/", {{"fileId", made.Get("fileId")}}).HasNamed("a & b <c>.txt"));
}

TEST_F(EmulatorTest, NewItemsNeedAnExistingParentFolder) {
    std::string token = Login("demo", "demo");
    EXPECT_EQ(Op(token, "/xsvr/newFile/", {{"parentId", "f999999"}, {"name", "x.txt"}}).result(),
              "parentNotExist");
    std::string file = NewFile(token, "", "leaf.txt");
    EXPECT_EQ(Op(token, "/xsvr/newFolder/", {{"parentId", file}, {"name", "x"}}).result(), "parentNotExist");
}

TEST_F(EmulatorTest, NamesWithSlashesControlCharactersOrTooManyBytesAreClientBadParams) {
    std::string token = Login("demo", "demo");
    for (const std::string& name :
         {std::string("a\\b"), std::string("a/b"), std::string("tab\there"), std::string(""),
          std::string(".."), std::string(256, 'n'), std::string("bad\xff utf8")}) {
        EXPECT_EQ(Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", name}}).result(),
                  "clientBadParams")
            << name;
    }
    EXPECT_EQ(Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", std::string(255, 'n')}}).result(),
              "ok");
    EXPECT_EQ(Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", "中文 名字"}}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", "two  blanks"}}).result(), "ok");
    Reply root = Op(token, "/xsvr/dir/", {{"fileId", ""}});
    EXPECT_TRUE(root.HasNamed("中文 名字"));
    EXPECT_TRUE(root.HasNamed("two  blanks"));
}

TEST_F(EmulatorTest, RenameChangesTheNameAndRefusesATakenOne) {
    std::string token = Login("demo", "demo");
    std::string a = NewFolder(token, "", "A");
    NewFolder(token, "", "B");
    EXPECT_EQ(Op(token, "/xsvr/rename/", {{"fileId", a}, {"name", "B"}}).result(), "targetExist");
    EXPECT_EQ(Op(token, "/xsvr/rename/", {{"fileId", a}, {"name", "C/D"}}).result(), "clientBadParams");
    EXPECT_EQ(Op(token, "/xsvr/rename/", {{"fileId", "f999999"}, {"name", "Z"}}).result(), "targetNotExist");
    ASSERT_EQ(Op(token, "/xsvr/rename/", {{"fileId", a}, {"name", "Renamed"}}).result(), "ok");
    Reply root = Op(token, "/xsvr/dir/", {{"fileId", ""}});
    EXPECT_EQ(root.Named("Renamed")["fileId"], a);
    EXPECT_FALSE(root.HasNamed("A"));
}

TEST_F(EmulatorTest, MoveKeepsTheIdAndRefusesCyclesAndClashes) {
    std::string token = Login("demo", "demo");
    std::string outer = NewFolder(token, "", "Outer");
    std::string inner = NewFolder(token, outer, "Inner");
    std::string file = NewFile(token, "", "moving.txt");
    ASSERT_EQ(Op(token, "/xsvr/move/", {{"fileId", file}, {"parentId", inner}, {"name", ""}}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", inner}}).Named("moving.txt")["fileId"], file);
    EXPECT_FALSE(Op(token, "/xsvr/dir/", {{"fileId", ""}}).HasNamed("moving.txt"));
    EXPECT_EQ(Op(token, "/xsvr/move/", {{"fileId", outer}, {"parentId", inner}, {"name", ""}}).result(),
              "clientBadParams");
    EXPECT_EQ(Op(token, "/xsvr/move/", {{"fileId", outer}, {"parentId", outer}, {"name", ""}}).result(),
              "clientBadParams");
    EXPECT_EQ(Op(token, "/xsvr/move/", {{"fileId", file}, {"parentId", "f999999"}, {"name", ""}}).result(),
              "parentNotExist");
    NewFile(token, "", "moving.txt");
    EXPECT_EQ(Op(token, "/xsvr/move/", {{"fileId", file}, {"parentId", ""}, {"name", ""}}).result(),
              "targetExist");
    // Back to the root of my files under a new name.
    ASSERT_EQ(Op(token, "/xsvr/move/", {{"fileId", file}, {"parentId", ""}, {"name", "moved.txt"}}).result(),
              "ok");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("moved.txt")["parentId"], "");
}

TEST_F(EmulatorTest, DeleteHidesTheWholeSubtree) {
    std::string token = Login("demo", "demo");
    std::string top = NewFolder(token, "", "Doomed");
    std::string child = NewFolder(token, top, "Child");
    std::string leaf = NewFile(token, child, "leaf.txt");
    ASSERT_EQ(Op(token, "/xsvr/delete/", {{"fileId", top}}).result(), "ok");
    EXPECT_FALSE(Op(token, "/xsvr/dir/", {{"fileId", ""}}).HasNamed("Doomed"));
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", child}}).result(), "targetNotExist");
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", leaf}}).result(), "targetNotExist");
    EXPECT_EQ(Op(token, "/xsvr/delete/", {{"fileId", top}}).result(), "targetNotExist");
}

TEST_F(EmulatorTest, GetItemInfoAnswersFileVerAtTheRoot) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "info.txt");
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", file}}).Get("fileVer"), "0");
    ASSERT_EQ(Upload(token, file, 0, "one", "blob-one").result(), "ok");
    Reply r = Op(token, "/xsvr/getItemInfo/", {{"fileId", file}});
    EXPECT_EQ(r.result(), "ok");
    EXPECT_EQ(r.Get("fileVer"), "1");
    EXPECT_EQ(r.Get("name"), "info.txt");
}

TEST_F(EmulatorTest, SetModTimeStoresTheTextAndRefusesOtherShapes) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "dated.txt");
    ASSERT_EQ(Op(token, "/xsvr/setModTime/", {{"fileId", file}, {"modTime", "2023-05-06 07:08:09"}}).result(),
              "ok");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("dated.txt")["modTime"], "2023-05-06 07:08:09");
    EXPECT_EQ(Op(token, "/xsvr/setModTime/", {{"fileId", file}, {"modTime", "2023-05-06 07:08:09.1234567"}})
                  .result(),
              "clientBadParams");
    EXPECT_EQ(
        Op(token, "/xsvr/setModTime/", {{"fileId", "f999999"}, {"modTime", "2023-05-06 07:08:09"}}).result(),
        "targetNotExist");
}

TEST_F(EmulatorTest, FullTextSearchMatchesNamesCaseInsensitively) {
    std::string token = Login("demo", "demo");
    Reply r = Op(token, "/xsvr/fullTextSearch", {{"searchText", "JPG"}, {"searchType", "0"}});
    ASSERT_EQ(r.result(), "ok");
    EXPECT_TRUE(r.HasNamed("sunset.jpg"));
    EXPECT_TRUE(r.HasNamed("beach.jpg"));
    EXPECT_FALSE(r.HasNamed("old.jpg"));  // recycled
    EXPECT_FALSE(r.HasNamed("readme.txt"));
    EXPECT_EQ(Op(token, "/xsvr/fullTextSearch", {{"searchText", ""}, {"searchType", "0"}}).result(),
              "clientBadParams");
    EXPECT_EQ(Op(token, "/xsvr/fullTextSearch", {{"searchText", "x"}, {"searchType", "zero"}}).result(),
              "clientBadParams");
}

}  // namespace devserver_test
