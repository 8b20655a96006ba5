// The emulator against clients that misbehave: names that are not well-formed
// text, large uploads and connections that trickle.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include <httplib.h>

#include "devserver/devserver.h"
#include "devserver/ids.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {

namespace {

// Connects to the emulator and sends the start of a request, then one byte
// every 200 ms until told to stop or the server gives up on it.
class Trickler {
public:
    Trickler(int port, const std::atomic<bool>& stop) : m_stop(stop) {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
            return;
        m_thread = std::thread([this] {
            const char head[] = "GET /xsvr/ HTTP/1.1\r\nX-Slow: ";
            bool alive = send(m_socket, head, sizeof(head) - 1, MSG_NOSIGNAL) > 0;
            for (int i = 0; alive && i < 150 && !m_stop; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                alive = send(m_socket, "x", 1, MSG_NOSIGNAL) == 1;
            }
        });
    }
    ~Trickler() {
        if (m_thread.joinable())
            m_thread.join();
        close(m_socket);
    }

private:
    const std::atomic<bool>& m_stop;
    int m_socket = -1;
    std::thread m_thread;
};

// Resident memory of this process, which hosts the emulator (bytes).
int64_t ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::stoll(line.substr(6)) * 1024;
    }
    return 0;
}

// The connections the emulator accepted on its port: it runs in this
// process, so its sockets are among ours.
std::vector<int> ServedConnections(int serverPort) {
    std::vector<int> fds;
    for (const std::string& name : ListFolder("/proc/self/fd")) {
        const int fd = std::atoi(name.c_str());
        sockaddr_in local{}, peer{};
        socklen_t localLength = sizeof(local), peerLength = sizeof(peer);
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0 &&
            local.sin_family == AF_INET && ntohs(local.sin_port) == serverPort &&
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0)
            fds.push_back(fd);
    }
    return fds;
}

// The emulator runs in this process, so a test can look at its sockets and
// its memory.
class HardeningTest : public ::testing::Test {
protected:
    void SetUp() override {
        devserver::DevServerOptions options;
        options.port = 0;
        options.demo = true;
        options.testHooks = true;
        options.dataDir = MakeTempDir("emu");
        m_server = std::make_unique<devserver::DevServer>(options);
        std::string error;
        ASSERT_TRUE(m_server->Start(&error)) << error;
        m_port = m_server->Port();
        m_emulator.Attach(m_port);
        m_token = m_emulator.Login("demo", "demo").token;
    }
    void TearDown() override { m_server->Stop(); }

    std::unique_ptr<httplib::Client> NewClient() const {
        auto client = std::make_unique<httplib::Client>("127.0.0.1", m_port);
        client->set_read_timeout(15, 0);
        return client;
    }
    std::string Op(const std::string& path, EmulatorFields fields) const {
        fields.insert(fields.begin(), {"token", m_token});
        return m_emulator.CallOperation(path, fields);
    }
    // requestUpload, then the content as the client sends it; the upload's result name.
    std::string Upload(const std::string& fileId, int64_t baseVer, const std::string& blob) const {
        const std::string ask = Op("/xsvr/requestUpload/", {{"fileVer", std::to_string(baseVer)},
                                                            {"size", "1"},
                                                            {"fileId", fileId},
                                                            {"sha1", devserver::Sha1Hex("p")}});
        const std::string url = Emulator::ReplyValue(ask, "url");
        const std::string prefix = m_emulator.Address();
        if (Emulator::ReplyValue(ask, "result") != "ok" || url.compare(0, prefix.size(), prefix) != 0)
            return "requestUpload: " + ask;
        const std::string target = url.substr(prefix.size()) + "stub=" + Emulator::ReplyValue(ask, "stub") +
                                   "&uploadSize=" + std::to_string(blob.size()) +
                                   "&uploadSha1=" + devserver::Sha1Hex(blob);
        httplib::MultipartFormDataItems parts{
            {"FileCont", blob, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", "application/octet-stream"}};
        auto res =
            NewClient()->Post(target.c_str(), httplib::Headers{{"v", "2"}, {"User-Agent", "pellux"}}, parts);
        return res ? Emulator::ReplyValue(res->body, "result") : "no reply";
    }

    std::unique_ptr<devserver::DevServer> m_server;
    Emulator m_emulator;
    int m_port = 0;
    std::string m_token;
};

}  // namespace

TEST_F(HardeningTest, RepliesAreSentWithoutWaitingForAcknowledgements) {
    auto client = NewClient();
    client->set_keep_alive(true);
    ASSERT_TRUE(client->Get("/xsvr/"));  // the connection stays open
    const std::vector<int> served = ServedConnections(m_port);
    ASSERT_FALSE(served.empty());
    for (int fd : served) {
        int noDelay = 0;
        socklen_t size = sizeof(noDelay);
        ASSERT_EQ(0, getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size));
        EXPECT_NE(0, noDelay);
    }
}

TEST_F(HardeningTest, LargeUploadsLeaveNoMemoryBehind) {
    const std::string id =
        Emulator::ReplyValue(Op("/xsvr/newFile/", {{"parentId", ""}, {"name", "large.bin"}}), "fileId");
    const std::string blob(32u << 20, 'b');
    ASSERT_EQ("ok", Upload(id, 0, blob));
    const int64_t settled = ResidentBytes();
    // Each upload lands on another worker thread of the emulator.
    for (int i = 1; i <= 4; ++i)
        ASSERT_EQ("ok", Upload(id, i, blob));
    EXPECT_LT(ResidentBytes() - settled, int64_t(64) << 20);
}

TEST_F(HardeningTest, NamesThatAreNotWellFormedTextAreRefused) {
    const std::vector<std::pair<const char*, std::string>> names = {
        {"overlong slash", "a\xC0\xAF"}, {"overlong three bytes", "a\xE0\x80\xAF"},
        {"surrogate", "a\xED\xA0\x80"},  {"above U+10FFFF", "a\xF4\x90\x80\x80"},
        {"NUL by reference", "a&#0;b"},  {"NUL by hex reference", "a&#x0;b"},
    };
    auto client = NewClient();
    for (const auto& name : names) {
        SCOPED_TRACE(name.first);
        // Written by hand: the references must reach the server unescaped.
        const std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle><token>" + m_token +
                                     "</token><parentId></parentId><name>" + name.second + "</name></xNorle>";
        auto res = client->Post("/xsvr/newFile/", httplib::Headers{{"v", "2"}, {"User-Agent", "pellux"}},
                                document, "application/x-www-form-urlencoded");
        ASSERT_TRUE(res);
        EXPECT_EQ("clientBadParams", Emulator::ReplyValue(res->body, "result"));
    }
    EXPECT_EQ(Emulator::ItemValue(Op("/xsvr/dir/", {{"fileId", ""}}), "a", "fileId"), "");
}

TEST_F(HardeningTest, TricklingClientsDoNotStarveOthers) {
    std::atomic<bool> stop{false};
    {
        // More than the emulator has worker threads.
        std::vector<std::unique_ptr<Trickler>> tricklers;
        for (int i = 0; i < 70; ++i)
            tricklers.push_back(std::make_unique<Trickler>(m_port, stop));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(m_emulator.Login("demo", "demo").token.empty());
        stop = true;
    }
}

}  // namespace pellux_test
