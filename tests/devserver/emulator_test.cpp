// The emulator's own rules, which no client suite reaches: bad requests get a
// result name and leave it working, concurrent changes and held push polls,
// and the test hooks the client suites rely on.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <thread>

#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"
#include "tests/support/waituntil.h"

namespace pellux_test {
namespace {

using Clock = std::chrono::steady_clock;

// Every value of one element in a reply, in document order.
std::vector<std::string> AllValues(const std::string& reply, const std::string& key) {
    std::vector<std::string> values;
    const std::string open = "<" + key + ">";
    for (size_t at = reply.find(open); at != std::string::npos; at = reply.find(open, at + 1)) {
        const size_t start = at + open.size();
        values.push_back(reply.substr(start, reply.find('<', start) - start));
    }
    return values;
}

class EmulatorRulesTest : public EmulatorTest {
protected:
    EmulatorOptions Options() const override {
        EmulatorOptions options;
        options.holdMs = 20000;
        return options;
    }
    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", m_emulator.Port());
        client.set_read_timeout(30, 0);
        return client;
    }
    std::string Dir(const std::string& token, const std::string& folder) const {
        return m_emulator.CallOperation("/xsvr/dir/", {{"token", token}, {"fileId", folder}});
    }
    std::string NewFolder(const std::string& token, const std::string& parent,
                          const std::string& name) const {
        return Emulator::ReplyValue(
            m_emulator.CallOperation("/xsvr/newFolder/",
                                     {{"token", token}, {"parentId", parent}, {"name", name}}),
            "fileId");
    }
    int64_t OpVer(const std::string& token) const {
        return std::stoll(
            "0" +
            Emulator::ReplyValue(m_emulator.CallOperation("/xsvr/getMaxVers/", {{"token", token}}), "opVer"));
    }
};

TEST_F(EmulatorRulesTest, BadRequestsGetAResultNameAndLeaveTheServerWorking) {
    const std::string token = m_emulator.Login("demo", "demo").token;
    const std::string decl = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
    const std::string tok = "<token>" + token + "</token>";
    std::string deep = decl + "<xNorle>" + tok;
    std::string open, close;
    while (deep.size() + open.size() + close.size() < 60000) {
        open += "<a>";
        close += "</a>";
    }
    deep += open + close + "</xNorle>";
    const std::string big =
        decl + "<xNorle>" + tok + "<fileId>" + std::string(100000, 'a') + "</fileId></xNorle>";
    struct Case {
        std::string path, version, body;
        int status;
        std::string result;
    };
    const std::vector<Case> cases{
        {"/xsvr/dir/", "2", "", 200, "clientBadParams"},
        {"/xsvr/dir/", "2", decl + "<xNorle>" + tok, 200, "clientBadParams"},
        {"/xsvr/dir/", "2", decl + "<other>" + tok + "<fileId></fileId></other>", 200, "clientBadParams"},
        {"/xsvr/dir/", "2", decl + "<xNorle>" + tok + "<fileId><x>1</x></fileId></xNorle>", 200,
         "clientBadParams"},
        {"/xsvr/dir/", "2", std::string("\xff\xfe<\x00x", 5), 200, "clientBadParams"},
        {"/xsvr/dir/", "2", deep, 200, "clientBadParams"},
        {"/xsvr/dir/", "2", big, 413, "clientBadParams"},
        {"/xsvr/dir/", "1", decl + "<xNorle>" + tok + "<fileId></fileId></xNorle>", 200,
         "methodVersionNotMatch"},
        {"/xsvr/asmGetAllSharedFiles/", "2", decl + "<xNorle>" + tok + "<type>out</type></xNorle>", 200,
         "methodVersionNotMatch"},
        {"/xsvr/noSuchThing/", "2", decl + "<xNorle>" + tok + "</xNorle>", 200, "clientNoMethod"},
        {"/xsvr/dir/", "2", decl + "<xNorle><token>feedface</token><fileId></fileId></xNorle>", 200,
         "clientNoLogin"},
        {"/xsvr/dir/", "2", decl + "<xNorle><fileId></fileId></xNorle>", 200, "clientNoLogin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " v" + c.version + " " + c.body.substr(0, 120));
        auto res = Client().Post(c.path.c_str(), httplib::Headers{{"v", c.version}}, c.body, "text/xml");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        EXPECT_NE(res->body.find(c.result), std::string::npos) << res->body;
    }
    EXPECT_EQ(Emulator::ReplyValue(Dir(token, ""), "result"), "ok");
}

TEST_F(EmulatorRulesTest, ConcurrentChangesAreAllAppliedWithDistinctVersions) {
    const std::string token = m_emulator.Login("demo", "demo").token;
    const int64_t before = OpVer(token);
    const std::string holder = NewFolder(token, "", "Concurrent");
    const int kThreads = 8, kEach = 10;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                if (NewFolder(token, holder, std::to_string(t) + "-" + std::to_string(i)).empty())
                    ++failures;
                const std::string same = Emulator::ReplyValue(
                    m_emulator.CallOperation("/xsvr/newFolder/",
                                             {{"token", token}, {"parentId", holder}, {"name", "same"}}),
                    "result");
                if (same != "ok" && same != "targetExist")
                    ++failures;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    const auto versions = AllValues(Dir(token, holder), "opVer");
    EXPECT_EQ(versions.size(), static_cast<size_t>(kThreads * kEach + 1));
    EXPECT_EQ(std::set<std::string>(versions.begin(), versions.end()).size(), versions.size());
    EXPECT_EQ(OpVer(token), before + 1 + kThreads * kEach + 1);
}

TEST_F(EmulatorRulesTest, OneChangeWakesEveryHeldPollWhileOtherRequestsGoOn) {
    const std::string token = m_emulator.Login("demo", "demo").token;
    // The first poll answers at once; later ones are held until a change.
    ASSERT_TRUE(Client().Get("/sync/get?uid=1001"));
    std::vector<std::future<std::string>> polls;
    for (int i = 0; i < 12; ++i) {
        polls.push_back(std::async(std::launch::async, [this] {
            auto res = Client().Get("/sync/get?uid=1001");
            return res ? res->body : std::string();
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return m_emulator.RequestsTo("/sync/get").size() >= 13; }));
    EXPECT_EQ(Emulator::ReplyValue(Dir(token, ""), "result"), "ok");
    const auto start = Clock::now();
    NewFolder(token, "", "Seen by every poll");
    const std::string now = std::to_string(OpVer(token));
    for (auto& poll : polls) {
        ASSERT_EQ(poll.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(Emulator::ReplyValue(poll.get(), "opVer"), now);
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST_F(EmulatorRulesTest, ScriptedFaultsApplyToTheNextCallsOnly) {
    const std::string token = m_emulator.Login("demo", "demo").token;
    auto result = [&](const std::string& path) {
        return Emulator::ReplyValue(m_emulator.CallOperation(path, {{"token", token}, {"fileId", ""}}),
                                    "result");
    };
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/dir/&count=2&result=serverBusy"));
    EXPECT_EQ(result("/xsvr/dir/"), "serverBusy");
    EXPECT_EQ(result("/xsvr/getSpace/"), "ok");
    EXPECT_EQ(result("/xsvr/dir/"), "serverBusy");
    EXPECT_EQ(result("/xsvr/dir/"), "ok");

    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&delayMs=400"));
    auto start = Clock::now();
    EXPECT_EQ(result("/xsvr/getSpace/"), "ok");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(380));

    const std::string id = Emulator::ItemValue(Dir(token, ""), "welcome.txt", "fileId");
    ASSERT_FALSE(id.empty());
    // A download address serves one download: each fetch asks for its own.
    const std::string ask =
        m_emulator.CallOperation("/xsvr/requestDownload/", {{"token", token}, {"fileId", id}});
    const std::string once = "/store/down?stub=" + Emulator::ReplyValue(ask, "stub") + "&bakVer=nowVer";
    auto good = Client().Get(once.c_str());
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 200);
    auto again = Client().Get(once.c_str());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 404);

    for (const char* refused : {"path=nodash&result=x", "path=/xsvr/dir/&status=42",
                                "path=/xsvr/dir/&count=4294967297&result=serverBusy"}) {
        EXPECT_FALSE(m_emulator.AddFault(refused)) << refused;
    }
}

TEST_F(EmulatorRulesTest, RequestLogKeepsTheExactRequestAndResetRestoresTheSeed) {
    const std::string token = m_emulator.Login("demo", "demo").token;
    NewFolder(token, "", "Temporary");
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/dir/&count=5&result=serverBusy"));
    ASSERT_TRUE(m_emulator.ClearLog());
    Client().Post("/xsvr/dir/?a=b", httplib::Headers{{"v", "2"}}, "exact & <body>", "text/plain");
    const auto log = m_emulator.RequestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "POST");
    EXPECT_EQ(log[0].target, "/xsvr/dir/?a=b");
    EXPECT_EQ(log[0].path, "/xsvr/dir/");
    EXPECT_EQ(log[0].Header("V"), "2");
    EXPECT_EQ(log[0].body, "exact & <body>");

    ASSERT_TRUE(m_emulator.Reset());
    EXPECT_TRUE(m_emulator.RequestLog().empty());
    EXPECT_EQ(Emulator::ReplyValue(Dir(token, ""), "result"), "clientNoLogin");
    const std::string root = Dir(m_emulator.Login("demo", "demo").token, "");
    EXPECT_EQ(Emulator::ReplyValue(root, "result"), "ok");
    EXPECT_EQ(root.find("<name>Temporary</name>"), std::string::npos);
    EXPECT_NE(root.find("<name>Documents</name>"), std::string::npos);
}

TEST(EmulatorProgram, BadOptionsAreRefused) {
    const std::string program = BinaryDir() + "/devserver/pellux-devserver";
    for (const char* options : {" --port 70000", " --bogus", " --hold-ms"})
        EXPECT_NE(RunCommand(program + options + " 2>/dev/null"), 0) << options;
}

}  // namespace
}  // namespace pellux_test
