// The pellux-devserver program: its first output line, the demo account on
// the printed address, the update service, the service-state reply and pages.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "emulatorfixture.h"
#include "tests/support/testenvironment.h"

namespace devserver_test {

namespace {

// Runs the program with a pipe on its stdout; returns its first line.
struct Child {
    pid_t pid = -1;
    FILE* out = nullptr;
    std::string firstLine;
    ~Child() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            int status = 0;
            waitpid(pid, &status, 0);
        }
        if (out) {
            fclose(out);
        }
    }
};

void Spawn(const std::vector<std::string>& args, Child* child) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string program = pellux_test::BinaryDir() + "/devserver/pellux-devserver";
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    child->pid = pid;
    child->out = fdopen(fds[0], "r");
    char line[256] = {0};
    if (fgets(line, sizeof(line), child->out)) {
        child->firstLine = line;
    }
}

}  // namespace

TEST(DevServerProgram, PortZeroPrintsTheAddressFirstAndServesTheDemoAccount) {
    Child child;
    Spawn({"--port", "0", "--demo", "--hold-ms", "200"}, &child);
    ASSERT_EQ(child.firstLine.rfind("listening on http://127.0.0.1:", 0), 0u) << child.firstLine;
    int port = std::stoi(child.firstLine.substr(std::string("listening on http://127.0.0.1:").size()));
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    auto res = client.Post("/xsvr/login/", RequestDocument({{"user", "demo"}, {"password", "demo"}}),
                           "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(ParseReply(res->status, res->body).result(), "ok");
    // No test hooks unless asked for.
    EXPECT_EQ(client.Get("/_emu/log")->status, 404);
}

TEST(DevServerProgram, PersistentDataSurvivesARestartAndTheTemporaryFolderIsRemoved) {
    std::string data = pellux_test::MakeTempDir("data");
    std::string token;
    {
        Child child;
        Spawn({"--port", "0", "--demo", "--data", data}, &child);
        int port = std::stoi(child.firstLine.substr(child.firstLine.rfind(':') + 1));
        httplib::Client client("127.0.0.1", port);
        auto login = ParseReply(
            200,
            client
                .Post("/xsvr/login/", RequestDocument({{"user", "demo"}, {"password", "demo"}}), "text/plain")
                ->body);
        token = login.Get("token");
        auto made = client.Post("/xsvr/newFolder/",
                                RequestDocument({{"token", token}, {"parentId", ""}, {"name", "Kept"}}),
                                "text/plain");
        ASSERT_EQ(ParseReply(200, made->body).result(), "ok");
    }
    Child child;
    Spawn({"--port", "0", "--demo", "--data", data}, &child);
    int port = std::stoi(child.firstLine.substr(child.firstLine.rfind(':') + 1));
    httplib::Client client("127.0.0.1", port);
    auto dir = client.Post("/xsvr/dir/", RequestDocument({{"token", token}, {"fileId", ""}}), "text/plain");
    Reply root = ParseReply(200, dir->body);
    EXPECT_TRUE(root.HasNamed("Kept"));
    EXPECT_TRUE(root.HasNamed("Documents"));
    EXPECT_EQ(root.items.size(), 5u);  // seeded once, not twice
}

TEST(DevServerProgram, BadOptionsAreRefused) {
    std::string program = pellux_test::BinaryDir() + "/devserver/pellux-devserver";
    EXPECT_NE(pellux_test::RunCommand(program + " --port 70000 2>/dev/null"), 0);
    EXPECT_NE(pellux_test::RunCommand(program + " --bogus 2>/dev/null"), 0);
    EXPECT_NE(pellux_test::RunCommand(program + " --hold-ms 2>/dev/null"), 0);
}

TEST_F(EmulatorTest, UpdateServiceAnswersNoUpdateWithoutAnOffer) {
    auto res = NewClient()->Post("/update/check", "UserName=demo&UserId=1001&Version=1%2e0%2e0%2e1",
                                 "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body, "Code=NOUPDATE");
    EXPECT_EQ(NewClient()->Get("/update/files/pellux.exe.zip")->status, 404);
}

TEST_F(EmulatorTest, ServiceStateAndWebPagesAnswer) {
    Reply state = Get("/api_server/");
    EXPECT_EQ(state.Get("State"), "normal");
    for (const char* page : {"/register/", "/resetpwd/", "/uep/client/?clienttype=pellux&sid=abc&ver=1.0.0.1",
                             "/home/", "/blog/"}) {
        auto res = NewClient()->Get(page);
        ASSERT_TRUE(res) << page;
        EXPECT_EQ(res->status, 200) << page;
        EXPECT_NE(res->body.find("<html>"), std::string::npos) << page;
    }
}

}  // namespace devserver_test
