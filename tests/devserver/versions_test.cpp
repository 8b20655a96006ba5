// Version rules: opVer rises with every visible change, shareVer for the
// recipients of shared changes, and the push poll answers on a change and
// holds otherwise.
#include <chrono>
#include <future>

#include "emulatorfixture.h"

namespace devserver_test {

namespace {

using Clock = std::chrono::steady_clock;

int64_t Millis(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

}  // namespace

TEST_F(EmulatorTest, EveryVisibleChangeRaisesOpVerAndStampsTheItem) {
    std::string token = Login("demo", "demo");
    int64_t v = OpVer(token);
    std::string folder = NewFolder(token, "", "Versioned");
    EXPECT_EQ(OpVer(token), v + 1);
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("Versioned")["opVer"], std::to_string(v + 1));
    std::string file = NewFile(token, folder, "f.txt");
    EXPECT_EQ(OpVer(token), v + 2);
    ASSERT_EQ(Upload(token, file, 0, "x", "y").result(), "ok");
    EXPECT_EQ(OpVer(token), v + 3);
    Op(token, "/xsvr/rename/", {{"fileId", file}, {"name", "g.txt"}});
    EXPECT_EQ(OpVer(token), v + 4);
    Op(token, "/xsvr/move/", {{"fileId", file}, {"parentId", ""}, {"name", ""}});
    EXPECT_EQ(OpVer(token), v + 5);
    Op(token, "/xsvr/delete/", {{"fileId", file}});
    EXPECT_EQ(OpVer(token), v + 6);
    Op(token, "/xsvr/recover/", {{"fileId", file}, {"parentId", ""}});
    EXPECT_EQ(OpVer(token), v + 7);
    Op(token, "/xsvr/delete/", {{"fileId", file}});
    Op(token, "/xsvr/cleanRecycle/", {{"fileId", file}});
    EXPECT_EQ(OpVer(token), v + 9);
    // Reads and refused changes leave it alone.
    Op(token, "/xsvr/dir/", {{"fileId", ""}});
    Op(token, "/xsvr/newFolder/", {{"parentId", ""}, {"name", "Versioned"}});
    Op(token, "/xsvr/rename/", {{"fileId", folder}, {"name", "bad/name"}});
    EXPECT_EQ(OpVer(token), v + 9);
}

TEST_F(EmulatorTest, ChangesInASharedFolderRaiseTheRecipientsVersions) {
    std::string demo = Login("demo", "demo");
    std::string pal = Login("friend", "friend");
    std::string team = Op(pal, "/xsvr/dir/", {{"fileId", ""}}).Named("Team share")["fileId"];
    int64_t demoOp = OpVer(demo), demoShare = ShareVer(demo);
    int64_t palOp = OpVer(pal), palShare = ShareVer(pal);
    NewFolder(pal, team, "From friend");
    EXPECT_EQ(OpVer(demo), demoOp + 1);
    EXPECT_EQ(ShareVer(demo), demoShare + 1);
    EXPECT_EQ(OpVer(pal), palOp + 1);
    // Demo writes into the friend's folder: both see it.
    NewFolder(demo, team, "From demo");
    EXPECT_EQ(OpVer(pal), palOp + 2);
    EXPECT_EQ(ShareVer(pal), palShare);
    EXPECT_EQ(ShareVer(demo), demoShare + 2);
    // A change in the friend's private folder is not demo's business.
    std::string priv = Op(pal, "/xsvr/dir/", {{"fileId", ""}}).Named("Private")["fileId"];
    NewFolder(pal, priv, "Secret");
    EXPECT_EQ(OpVer(demo), demoOp + 2);
}

TEST_F(EmulatorTest, PushAnswersAtOnceOnAChangeAndHoldsOtherwise) {
    StopServer();
    StartServer(true, 1500);
    std::string token = Login("demo", "demo");
    // The first poll of a user answers at once with the current pair.
    Reply first = Get("/sync/get?uid=1001");
    ASSERT_EQ(first.result(), "ok");
    EXPECT_EQ(first.Get("opVer"), std::to_string(OpVer(token)));
    EXPECT_EQ(first.Get("shareVer"), std::to_string(ShareVer(token)));

    // Nothing changes: held for the hold time, then the same versions.
    auto start = Clock::now();
    Reply held = Get("/sync/get?uid=1001");
    EXPECT_GE(Millis(Clock::now() - start), 1200);
    EXPECT_EQ(held.result(), "ok");
    EXPECT_EQ(held.Get("opVer"), first.Get("opVer"));

    // A change while a poll is held answers it early with the new opVer.
    start = Clock::now();
    auto poll = std::async(std::launch::async, [this] { return Get("/sync/get?uid=1001"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    NewFolder(token, "", "Wake up");
    Reply woken = poll.get();
    EXPECT_LT(Millis(Clock::now() - start), 1200);
    EXPECT_EQ(woken.Get("opVer"), std::to_string(OpVer(token)));
    EXPECT_EQ(woken.Get("deviceId"), "pellux-0123456789abcdef0123456789abcdef|HOST");

    // A change between polls is answered by the next poll at once.
    NewFolder(token, "", "Between polls");
    start = Clock::now();
    Reply next = Get("/sync/get?uid=1001");
    EXPECT_LT(Millis(Clock::now() - start), 1000);
    EXPECT_EQ(next.Get("opVer"), std::to_string(OpVer(token)));
}

TEST_F(EmulatorTest, OneChangeWakesEveryHeldPollOfTheUser) {
    StopServer();
    StartServer(true, 20000);
    std::string token = Login("demo", "demo");
    Get("/sync/get?uid=1001");
    // Two devices of the same account hold a poll each.
    auto first = std::async(std::launch::async, [this] { return Get("/sync/get?uid=1001"); });
    auto second = std::async(std::launch::async, [this] { return Get("/sync/get?uid=1001"); });
    auto arrived = [this] {
        std::string log = Get("/_emu/log").body;
        size_t n = 0;
        for (size_t at = log.find("<path>/sync/get</path>"); at != std::string::npos;
             at = log.find("<path>/sync/get</path>", at + 1)) {
            ++n;
        }
        return n;
    };
    for (int i = 0; i < 1000 && arrived() < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    NewFolder(token, "", "Seen by both");
    std::string now = std::to_string(OpVer(token));
    // Well before the hold time ends.
    ASSERT_EQ(first.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    ASSERT_EQ(second.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(first.get().Get("opVer"), now);
    EXPECT_EQ(second.get().Get("opVer"), now);
}

TEST_F(EmulatorTest, PushWakesTheRecipientOfASharedChange) {
    std::string demo = Login("demo", "demo");
    std::string pal = Login("friend", "friend");
    Get("/sync/get?uid=1001");
    std::string team = Op(pal, "/xsvr/dir/", {{"fileId", ""}}).Named("Team share")["fileId"];
    auto poll = std::async(std::launch::async, [this] { return Get("/sync/get?uid=1001"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    NewFolder(pal, team, "Shared news");
    Reply woken = poll.get();
    EXPECT_EQ(woken.Get("shareVer"), std::to_string(ShareVer(demo)));
}

TEST_F(EmulatorTest, PushForAnUnknownUserIsHeldAndRefused) {
    Get("/sync/get?uid=4242");
    auto start = Clock::now();
    Reply r = Get("/sync/get?uid=4242");
    EXPECT_GE(Millis(Clock::now() - start), 250);
    EXPECT_EQ(r.result(), "clientBadParams");
}

}  // namespace devserver_test
