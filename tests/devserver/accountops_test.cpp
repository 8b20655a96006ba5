// Log-in, token renewal and revocation, space and versions.
#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, LoginAnswersUserTokenEmailAndNick) {
    Reply r = Call("/xsvr/login/", {{"user", "demo"},
                                    {"password", "demo"},
                                    {"deviceId", "pellux-1|PC"},
                                    {"clientName", "pellux"},
                                    {"clientVersion", "1.0.0.1"}});
    ASSERT_EQ(r.result(), "ok");
    EXPECT_EQ(r.Get("userId"), "1001");
    EXPECT_EQ(r.Get("email"), "demo@pellux.test");
    EXPECT_EQ(r.Get("nickName"), "Demo");
    // Tokens travel unencoded in query strings.
    ASSERT_GE(r.Get("token").size(), 32u);
    EXPECT_EQ(r.Get("token").find_first_not_of("0123456789abcdef"), std::string::npos);
    // The e-mail logs in as well.
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "DEMO@pellux.test"}, {"password", "demo"}}).result(), "ok");
}

TEST_F(EmulatorTest, LoginWithWrongPasswordOrUnknownUserIsAccountNotMatch) {
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "demo"}, {"password", "nope"}}).result(), "accountNotMatch");
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "nobody"}, {"password", "demo"}}).result(), "accountNotMatch");
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "demo"}}).result(), "clientBadParams");
}

TEST_F(EmulatorTest, ForkTokenIssuesANewTokenAndRevokesTheOldOne) {
    std::string old = Login("demo", "demo");
    Reply r =
        Call("/xsvr/forkToken/", {{"token", old}, {"deviceId", "pellux-2|PC"}, {"clientName", "pellux"}});
    ASSERT_EQ(r.result(), "ok");
    EXPECT_EQ(r.Get("userId"), "1001");
    EXPECT_EQ(r.Get("nickName"), "Demo");
    std::string fresh = r.Get("token");
    EXPECT_NE(fresh, old);
    EXPECT_EQ(Op(fresh, "/xsvr/getMaxVers/", {}).result(), "ok");
    EXPECT_EQ(Op(old, "/xsvr/getMaxVers/", {}).result(), "clientTokenExpired");
    EXPECT_EQ(Call("/xsvr/forkToken/", {{"token", old}}).result(), "clientTokenExpired");
    EXPECT_EQ(Call("/xsvr/forkToken/", {{"token", "0123"}}).result(), "clientNoLogin");
}

TEST_F(EmulatorTest, OperationsWithoutOrWithAnUnknownTokenAreClientNoLogin) {
    EXPECT_EQ(Op("", "/xsvr/dir/", {{"fileId", ""}}).result(), "clientNoLogin");
    EXPECT_EQ(Op("feedface", "/xsvr/getSpace/", {}).result(), "clientNoLogin");
    EXPECT_EQ(Call("/xsvr/dir/", {{"fileId", ""}}).result(), "clientNoLogin");
}

TEST_F(EmulatorTest, GetSpaceCountsThePlaintextOfOwnedFiles) {
    std::string token = Login("demo", "demo");
    Reply before = Op(token, "/xsvr/getSpace/", {});
    ASSERT_EQ(before.result(), "ok");
    EXPECT_EQ(before.Get("total"), "5368709120");
    std::string id = NewFile(token, "", "space.bin");
    ASSERT_EQ(Upload(token, id, 0, std::string(1000, 'x'), "blob").result(), "ok");
    Reply after = Op(token, "/xsvr/getSpace/", {});
    EXPECT_EQ(std::stoll(after.Get("used")) - std::stoll(before.Get("used")), 1000);
}

TEST_F(EmulatorTest, VersionsOfAFreshAccountStartAtOne) {
    StopServer();
    StartServer(false, 300);
    auto res = NewClient()->Post("/register/", "login=ann&email=ann%40x.test&nick=Ann&password=pw",
                                 "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("created"), std::string::npos);
    std::string token = Login("ann", "pw");
    EXPECT_EQ(OpVer(token), 1);
    EXPECT_EQ(ShareVer(token), 1);
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).items.size(), 0u);
}

TEST_F(EmulatorTest, RegisterPageRefusesTakenNamesAndNicksThatAreNotPlainText) {
    auto post = [this](const std::string& form) {
        auto res = NewClient()->Post("/register/", form, "application/x-www-form-urlencoded");
        return res ? res->body : std::string();
    };
    EXPECT_NE(post("login=demo&email=other%40x.test&nick=D&password=pw").find("taken"), std::string::npos);
    EXPECT_NE(post("login=other&email=DEMO%40pellux.test&nick=D&password=pw").find("taken"),
              std::string::npos);
    for (const char* nick : {"a%01b", "a%2Fb", "a%5Cb", "%FF"}) {
        EXPECT_EQ(
            post("login=nick&email=nick%40x.test&password=pw&nick=" + std::string(nick)).find("created"),
            std::string::npos)
            << nick;
    }
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "nick"}, {"password", "pw"}}).result(), "accountNotMatch");
    EXPECT_NE(post("login=nick&email=nick%40x.test&password=pw&nick=%E5%B0%8F%E6%98%8E").find("created"),
              std::string::npos);
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "nick"}, {"password", "pw"}}).Get("nickName"), "小明");
}

TEST_F(EmulatorTest, ResetPasswordPageChangesThePassword) {
    auto res = NewClient()->Post("/resetpwd/", "email=demo%40pellux.test&password=secret",
                                 "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "demo"}, {"password", "demo"}}).result(), "accountNotMatch");
    EXPECT_EQ(Call("/xsvr/login/", {{"user", "demo"}, {"password", "secret"}}).result(), "ok");
}

TEST_F(EmulatorTest, WrongProtocolVersionHeaderIsMethodVersionNotMatch) {
    std::string token = Login("demo", "demo");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}, "1").result(), "methodVersionNotMatch");
    EXPECT_EQ(Op(token, "/xsvr/asmGetAllSharedFiles/", {{"type", "out"}}, "2").result(),
              "methodVersionNotMatch");
    EXPECT_EQ(Op(token, "/xsvr/asmGetAllSharedFiles/", {{"type", "out"}}, "3").result(), "ok");
}

TEST_F(EmulatorTest, UnknownOperationIsClientNoMethod) {
    std::string token = Login("demo", "demo");
    EXPECT_EQ(Op(token, "/xsvr/noSuchThing/", {}).result(), "clientNoMethod");
}

}  // namespace devserver_test
