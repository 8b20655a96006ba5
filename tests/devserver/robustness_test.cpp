// Bad input gets a result name, never a crash; concurrent requests are safe.
#include <atomic>
#include <set>
#include <thread>

#include "emulatorfixture.h"

namespace devserver_test {

namespace {

Reply RawPost(const std::unique_ptr<httplib::Client>& client, const std::string& path,
              const std::string& body) {
    auto res = client->Post(path.c_str(), body, "application/x-www-form-urlencoded");
    return res ? ParseReply(res->status, res->body) : Reply();
}

}  // namespace

TEST_F(EmulatorTest, MalformedRequestDocumentsAreClientBadParams) {
    std::string token = Login("demo", "demo");
    auto client = NewClient();
    const std::string decl = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
    for (const std::string& body :
         {std::string(""), std::string("token=abc"), decl, decl + "<xNorle><token>" + token + "</token>",
          decl + "<other><token>" + token + "</token><fileId></fileId></other>",
          decl + "<xNorle><token>" + token + "</token><fileId><x>1</x></fileId></xNorle>",
          decl + "<xNorle><token>" + token + "</token><fileId></fileID></xNorle>",
          std::string("\xff\xfe<\x00x", 5)}) {
        Reply r = RawPost(client, "/xsvr/dir/", body);
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.result(), "clientBadParams") << body;
    }
    // The server is still fine.
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
}

TEST_F(EmulatorTest, DeeplyNestedDocumentsAreClientBadParams) {
    std::string token = Login("demo", "demo");
    auto client = NewClient();
    // Just under the size limit, nested as deep as that allows.
    std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle><token>" + token + "</token>";
    std::string open, close;
    while (body.size() + open.size() + close.size() < 60000) {
        open += "<a>";
        close += "</a>";
    }
    body += open + close + "</xNorle>";
    auto res = client->Post("/xsvr/dir/", body, "text/xml");
    ASSERT_TRUE(res);
    EXPECT_EQ(ParseReply(res->status, res->body).result(), "clientBadParams");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
}

TEST_F(EmulatorTest, OversizedBodiesAreRefused) {
    std::string token = Login("demo", "demo");
    auto client = NewClient();
    // Larger than any request document: refused before parsing.
    std::string big = RequestDocument({{"token", token}, {"fileId", std::string(100000, 'a')}});
    auto res = client->Post("/xsvr/dir/", big, "text/xml");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
    // A form-encoded body above the library's form limit is refused too.
    res = client->Post("/xsvr/dir/", big, "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
}

TEST_F(EmulatorTest, ConcurrentChangesAreAllAppliedWithDistinctVersions) {
    std::string token = Login("demo", "demo");
    int64_t before = OpVer(token);
    std::string holder = NewFolder(token, "", "Concurrent");
    const int kThreads = 8;
    const int kEach = 12;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                Reply r =
                    Op(token, "/xsvr/newFolder/",
                       {{"parentId", holder}, {"name", "t" + std::to_string(t) + "-" + std::to_string(i)}});
                Reply same = Op(token, "/xsvr/newFolder/", {{"parentId", holder}, {"name", "shared-name"}});
                if (r.result() != "ok" || (same.result() != "ok" && same.result() != "targetExist")) {
                    ++failures;
                }
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures.load(), 0);
    Reply list = Op(token, "/xsvr/dir/", {{"fileId", holder}});
    EXPECT_EQ(list.items.size(), static_cast<size_t>(kThreads * kEach + 1));
    std::set<std::string> versions;
    for (const auto& item : list.items) {
        versions.insert(item["opVer"]);
    }
    EXPECT_EQ(versions.size(), list.items.size());
    EXPECT_EQ(OpVer(token), before + 1 + kThreads * kEach + 1);
}

TEST_F(EmulatorTest, HeldPushPollsDoNotBlockOtherRequests) {
    StopServer();
    StartServer(true, 3000);
    std::string token = Login("demo", "demo");
    Get("/sync/get?uid=1001");
    std::vector<std::thread> polls;
    for (int i = 0; i < 20; ++i) {
        polls.emplace_back([this] { Get("/sync/get?uid=1001"); });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
    NewFolder(token, "", "Release the polls");
    for (auto& t : polls) {
        t.join();
    }
}

}  // namespace devserver_test
