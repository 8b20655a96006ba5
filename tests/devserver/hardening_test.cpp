// The emulator against clients that misbehave: names that are not well-formed
// text, download addresses used twice, and connections that trickle.
#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "emulatorfixture.h"

namespace devserver_test {

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

int PortOf(const sockaddr_in& address) {
    return ntohs(address.sin_port);
}

// The emulator's end of the connection whose client end is on clientPort:
// the emulator runs in this process, so its sockets are among ours.
int ServerSocketFor(int serverPort, int clientPort) {
    DIR* folder = opendir("/proc/self/fd");
    int found = -1;
    while (dirent* entry = folder ? readdir(folder) : nullptr) {
        const int fd = std::atoi(entry->d_name);
        struct stat st;
        if (entry->d_name[0] == '.' || fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
            continue;
        sockaddr_in local{}, peer{};
        socklen_t localLength = sizeof(local), peerLength = sizeof(peer);
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0 &&
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
            PortOf(local) == serverPort && PortOf(peer) == clientPort) {
            found = fd;
        }
    }
    if (folder)
        closedir(folder);
    return found;
}

}  // namespace

TEST_F(EmulatorTest, RepliesAreSentWithoutWaitingForAcknowledgements) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    const char request[] = "GET /xsvr/ HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_GT(send(client, request, sizeof(request) - 1, MSG_NOSIGNAL), 0);
    char reply[256];
    ASSERT_GT(recv(client, reply, sizeof(reply), 0), 0);  // the connection is being served
    sockaddr_in local{};
    socklen_t length = sizeof(local);
    getsockname(client, reinterpret_cast<sockaddr*>(&local), &length);
    const int server = ServerSocketFor(m_port, PortOf(local));
    ASSERT_GE(server, 0);
    int noDelay = 0;
    socklen_t size = sizeof(noDelay);
    ASSERT_EQ(0, getsockopt(server, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size));
    EXPECT_NE(0, noDelay);
    close(client);
}

TEST_F(EmulatorTest, LargeUploadsLeaveNoMemoryBehind) {
    const std::string token = Login("demo", "demo");
    const std::string id = NewFile(token, "", "large.bin");
    const std::string blob(32u << 20, 'b');
    ASSERT_EQ("ok", Upload(token, id, 0, "p", blob).result());
    const int64_t settled = ResidentBytes();
    // Each upload lands on another worker thread of the emulator.
    for (int i = 1; i <= 4; ++i)
        ASSERT_EQ("ok", Upload(token, id, i, "p", blob).result());
    EXPECT_LT(ResidentBytes() - settled, int64_t(64) << 20);
}

TEST_F(EmulatorTest, NamesThatAreNotWellFormedTextAreRefused) {
    const std::string token = Login("demo", "demo");
    const std::vector<std::pair<const char*, std::string>> names = {
        {"overlong slash", "a\xC0\xAF"}, {"overlong three bytes", "a\xE0\x80\xAF"},
        {"surrogate", "a\xED\xA0\x80"},  {"above U+10FFFF", "a\xF4\x90\x80\x80"},
        {"NUL by reference", "a&#0;b"},  {"NUL by hex reference", "a&#x0;b"},
    };
    auto client = NewClient();
    for (const auto& name : names) {
        SCOPED_TRACE(name.first);
        // Written by hand: the references must reach the server unescaped.
        const std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle><token>" + token +
                                     "</token><parentId></parentId><name>" + name.second + "</name></xNorle>";
        auto res = client->Post("/xsvr/newFile/", httplib::Headers{{"v", "2"}, {"User-Agent", "pellux"}},
                                document, "application/x-www-form-urlencoded");
        ASSERT_TRUE(res);
        EXPECT_EQ("clientBadParams", ParseReply(res->status, res->body).result());
    }
    const Reply listing = Op(token, "/xsvr/dir/", {{"fileId", ""}});
    EXPECT_FALSE(listing.HasNamed("a"));
}

TEST_F(EmulatorTest, ADownloadAddressServesOneDownload) {
    const std::string token = Login("demo", "demo");
    const std::string id = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("welcome.txt")["fileId"];
    const Reply ask = Op(token, "/xsvr/requestDownload/", {{"fileId", id}});
    const std::string target = "/store/down?stub=" + ask.Get("stub") + "&bakVer=nowVer";
    std::vector<int> statuses;
    for (int i = 0; i < 2; ++i) {
        auto res = NewClient()->Get(target.c_str());
        statuses.push_back(res ? res->status : 0);
    }
    EXPECT_EQ((std::vector<int>{200, 404}), statuses);
}

TEST_F(EmulatorTest, TricklingClientsDoNotStarveOthers) {
    std::atomic<bool> stop{false};
    {
        // More than the emulator has worker threads.
        std::vector<std::unique_ptr<Trickler>> tricklers;
        for (int i = 0; i < 70; ++i)
            tricklers.push_back(std::make_unique<Trickler>(m_port, stop));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        auto client = NewClient();
        client->set_read_timeout(15, 0);
        httplib::Headers headers{{"v", "2"}, {"User-Agent", "pellux"}};
        auto res = client->Post("/xsvr/login/", headers,
                                RequestDocument({{"user", "demo"},
                                                 {"password", "demo"},
                                                 {"deviceId", "pellux-0123456789abcdef0123456789abcdef|HOST"},
                                                 {"clientName", "pellux"},
                                                 {"clientVersion", "1.0.0.1"}}),
                                "application/x-www-form-urlencoded");
        EXPECT_TRUE(res && ParseReply(res->status, res->body).result() == "ok");
        stop = true;
    }
}

}  // namespace devserver_test
