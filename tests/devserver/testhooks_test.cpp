// The /_emu/ test hooks: request log, scripted faults and reset.
#include <chrono>

#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, RequestLogKeepsMethodPathHeadersAndExactBody) {
    std::string token = Login("demo", "demo");
    ASSERT_TRUE(NewClient()->Post("/_emu/log/clear", "", "text/plain"));
    Fields fields{{"token", token}, {"fileId", ""}};
    Call("/xsvr/dir/", fields);
    Reply log = Get("/_emu/log");
    ASSERT_EQ(log.result(), "ok");
    EXPECT_EQ(log.Get("count"), "1");
    EXPECT_NE(log.body.find("<method>POST</method>"), std::string::npos);
    EXPECT_NE(log.body.find("<path>/xsvr/dir/</path>"), std::string::npos);
    EXPECT_NE(log.body.find("<name>v</name><value>2</value>"), std::string::npos);
    EXPECT_NE(log.body.find("<name>User-Agent</name><value>pellux</value>"), std::string::npos);
    std::string n = log.body.substr(log.body.find("<n>") + 3);
    n = n.substr(0, n.find('<'));
    auto body = NewClient()->Get(("/_emu/log/body?n=" + n).c_str());
    ASSERT_TRUE(body);
    EXPECT_EQ(body->body, RequestDocument(fields));
    // Query strings are logged as sent.
    Get("/sync/get?uid=1001");
    EXPECT_NE(Get("/_emu/log").body.find("<target>/sync/get?uid=1001</target>"), std::string::npos);
}

TEST_F(EmulatorTest, ScriptedResultAppliesToTheNextNCallsOnly) {
    std::string token = Login("demo", "demo");
    Fault("path=/xsvr/dir/&count=2&result=serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/getSpace/", {}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
}

TEST_F(EmulatorTest, ScriptedStatusDelayDropAndCorruption) {
    std::string token = Login("demo", "demo");
    Fault("path=/xsvr/getSpace/&status=500");
    Reply r = Op(token, "/xsvr/getSpace/", {});
    EXPECT_EQ(r.status, 500);
    EXPECT_EQ(r.result(), "ok");  // the body is still the operation's reply

    Fault("path=/xsvr/getSpace/&delayMs=400");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Op(token, "/xsvr/getSpace/", {}).result(), "ok");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(380));

    std::string id = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("welcome.txt")["fileId"];
    Reply ask = Op(token, "/xsvr/requestDownload/", {{"fileId", id}});
    std::string target = "/store/down?stub=" + ask.Get("stub") + "&bakVer=nowVer";
    Fault("path=/store/down&corrupt=1");
    auto bad = NewClient()->Get(target.c_str());
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->status, 200);
    EXPECT_NE(Sha1Of(bad->body), ask.Get("compressSha1"));
    auto good = NewClient()->Get(target.c_str());
    EXPECT_EQ(Sha1Of(good->body), ask.Get("compressSha1"));

    Fault("path=/store/down&drop=1");
    auto dropped = NewClient()->Get(target.c_str());
    EXPECT_FALSE(dropped);
    EXPECT_TRUE(NewClient()->Get(target.c_str()));
}

TEST_F(EmulatorTest, BadFaultRequestsAreRefused) {
    auto res = NewClient()->Post("/_emu/fault?path=nodash&result=x", "", "text/plain");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
    res = NewClient()->Post("/_emu/fault?path=/xsvr/dir/&status=42", "", "text/plain");
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
}

TEST_F(EmulatorTest, ResetRestoresTheSeededState) {
    std::string token = Login("demo", "demo");
    NewFolder(token, "", "Temporary");
    Fault("path=/xsvr/dir/&count=5&result=serverBusy");
    ASSERT_TRUE(NewClient()->Post("/_emu/reset", "", "text/plain"));
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "clientNoLogin");
    std::string fresh = Login("demo", "demo");
    Reply root = Op(fresh, "/xsvr/dir/", {{"fileId", ""}});
    EXPECT_EQ(root.result(), "ok");
    EXPECT_FALSE(root.HasNamed("Temporary"));
    EXPECT_TRUE(root.HasNamed("Documents"));
    EXPECT_EQ(Get("/_emu/log").Get("count"), "3");
}

TEST(EmulatorWithoutHooks, TestHookEndpointsAreAbsent) {
    devserver::DevServerOptions options;
    options.port = 0;
    devserver::DevServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    httplib::Client client("127.0.0.1", server.Port());
    auto res = client.Get("/_emu/log");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    res = client.Post("/_emu/reset", "", "text/plain");
    EXPECT_EQ(res->status, 404);
}

}  // namespace devserver_test
