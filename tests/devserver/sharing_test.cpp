// Sharing: what each account sees, rights inside shared folders, asmShare
// and the share page's endpoints.
#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, SharedWithMeListsTheOwnerAsTheOnlySharerWithMyRights) {
    std::string demo = Login("demo", "demo");
    Reply r = Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "toMe"}}, "3");
    ASSERT_EQ(r.result(), "ok");
    ASSERT_EQ(r.items.size(), 2u);
    ReplyItem team = r.Named("Team share");
    ASSERT_EQ(team.sharers.size(), 1u);
    EXPECT_EQ(team.sharers[0]["email"], "friend@pellux.test");
    EXPECT_EQ(team.sharers[0]["nickName"], "Friend");
    EXPECT_EQ(team.sharers[0]["userId"], "1002");
    EXPECT_EQ(team.sharers[0]["right"], "read,write");
    EXPECT_EQ(team["shared"], "1");
    EXPECT_EQ(r.Named("budget.txt").sharers.at(0)["right"], "read");
    EXPECT_EQ(Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "out"}}, "3").items.size(), 0u);
    EXPECT_EQ(Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "all"}}, "3").result(), "clientBadParams");
}

TEST_F(EmulatorTest, SharedOutListsEveryRecipient) {
    std::string pal = Login("friend", "friend");
    Reply r = Op(pal, "/xsvr/asmGetAllSharedFiles/", {{"type", "out"}}, "3");
    ASSERT_EQ(r.items.size(), 2u);
    ReplyItem team = r.Named("Team share");
    ASSERT_EQ(team.sharers.size(), 1u);
    EXPECT_EQ(team.sharers[0]["email"], "demo@pellux.test");
    EXPECT_EQ(team.sharers[0]["right"], "read,write");
}

TEST_F(EmulatorTest, WriteShareAllowsChangesAndReadShareRefusesThem) {
    std::string demo = Login("demo", "demo");
    std::string pal = Login("friend", "friend");
    Reply shared = Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "toMe"}}, "3");
    std::string team = shared.Named("Team share")["fileId"];
    std::string budget = shared.Named("budget.txt")["fileId"];
    Reply inside = Op(demo, "/xsvr/dir/", {{"fileId", team}});
    ASSERT_EQ(inside.result(), "ok");
    EXPECT_TRUE(inside.HasNamed("plan.txt"));
    std::string made = NewFolder(demo, team, "Demo was here");
    EXPECT_TRUE(Op(pal, "/xsvr/dir/", {{"fileId", team}}).HasNamed("Demo was here"));
    EXPECT_EQ(Op(pal, "/xsvr/dir/", {{"fileId", team}}).Named("Demo was here")["modifier"], "Demo");
    // The read share: download yes, change no.
    EXPECT_EQ(Download(demo, budget), Download(pal, budget));
    EXPECT_EQ(Op(demo, "/xsvr/rename/", {{"fileId", budget}, {"name", "mine.txt"}}).result(),
              "permissionDenied");
    EXPECT_EQ(Op(demo, "/xsvr/delete/", {{"fileId", budget}}).result(), "permissionDenied");
    EXPECT_EQ(Upload(demo, budget, 1, "x", "y").result(), "permissionDenied");
    // Moving out of the owner's tree is refused.
    EXPECT_EQ(Op(demo, "/xsvr/move/", {{"fileId", made}, {"parentId", ""}, {"name", ""}}).result(),
              "permissionDenied");
}

TEST_F(EmulatorTest, AsmShareMakesAnItemVisibleToTheOtherAccount) {
    std::string demo = Login("demo", "demo");
    std::string pal = Login("friend", "friend");
    std::string docs = Op(demo, "/xsvr/dir/", {{"fileId", ""}}).Named("Documents")["fileId"];
    int64_t palShare = ShareVer(pal);
    ASSERT_EQ(Op(demo, "/xsvr/asmShare/",
                 {{"fileId", docs},
                  {"sharers", "friend@pellux.test"},
                  {"writable", "false"},
                  {"sendMail", "false"}})
                  .result(),
              "ok");
    EXPECT_GT(ShareVer(pal), palShare);
    Reply toMe = Op(pal, "/xsvr/asmGetAllSharedFiles/", {{"type", "toMe"}}, "3");
    EXPECT_EQ(toMe.Named("Documents").sharers.at(0)["right"], "read");
    EXPECT_TRUE(Op(pal, "/xsvr/dir/", {{"fileId", docs}}).HasNamed("readme.txt"));
    EXPECT_EQ(Op(demo, "/xsvr/dir/", {{"fileId", ""}}).Named("Documents")["shared"], "1");
    EXPECT_EQ(
        Op(demo, "/xsvr/asmShare/",
           {{"fileId", docs}, {"sharers", "nobody@x.test"}, {"writable", "true"}, {"sendMail", "false"}})
            .result(),
        "targetNotExist");
    EXPECT_EQ(Op(demo, "/xsvr/asmShare/",
                 {{"fileId", docs}, {"sharers", "demo"}, {"writable", "true"}, {"sendMail", "false"}})
                  .result(),
              "clientBadParams");
    EXPECT_EQ(Op(pal, "/xsvr/asmShare/",
                 {{"fileId", docs}, {"sharers", "demo"}, {"writable", "true"}, {"sendMail", "false"}})
                  .result(),
              "permissionDenied");
}

TEST_F(EmulatorTest, SharePageListsAddsAndRemovesSharers) {
    std::string pal = Login("friend", "friend");
    std::string demo = Login("demo", "demo");
    std::string team = Op(pal, "/xsvr/dir/", {{"fileId", ""}}).Named("Team share")["fileId"];
    auto page = NewClient()->Get(("/xweb/sharefile2/?fileId=" + team + "&v=2").c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("window.external.GetUserInfo()"), std::string::npos);
    EXPECT_NE(page->body.find("window.external.CloseWizard()"), std::string::npos);

    Reply listed = Get("/xweb/sharefile2/sharers?token=" + pal + "&fileId=" + team);
    ASSERT_EQ(listed.result(), "ok") << listed.body;
    EXPECT_NE(listed.body.find("demo@pellux.test"), std::string::npos);
    EXPECT_EQ(Get("/xweb/sharefile2/sharers?token=" + demo + "&fileId=" + team).result(), "permissionDenied");

    auto set = [&](const std::string& right) {
        auto res =
            NewClient()->Post("/xweb/sharefile2/set",
                              "token=" + pal + "&fileId=" + team + "&email=demo%40pellux.test&right=" + right,
                              "application/x-www-form-urlencoded");
        return res ? ParseReply(res->status, res->body).result() : std::string();
    };
    ASSERT_EQ(set("none"), "ok");
    EXPECT_FALSE(Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "toMe"}}, "3").HasNamed("Team share"));
    EXPECT_EQ(Op(demo, "/xsvr/dir/", {{"fileId", team}}).result(), "permissionDenied");
    ASSERT_EQ(set("read"), "ok");
    EXPECT_EQ(Op(demo, "/xsvr/asmGetAllSharedFiles/", {{"type", "toMe"}}, "3")
                  .Named("Team share")
                  .sharers.at(0)["right"],
              "read");
    EXPECT_EQ(set("owner"), "clientBadParams");
}

}  // namespace devserver_test
